#pragma once

#include "engine/DrawHistory.h"
#include "engine/FilterAnalysis.h"
#include "engine/RunSettings.h"

#include <QString>
#include <atomic>
#include <optional>
#include <vector>

namespace kw {

/** A test as the options tab names it, with its value now. */
struct TestLine {
    int test = 0;            // FilterTest
    QString caption;         // the caption beside its control
    QString value;           // "5", "4 and 20", "on"
    int64_t removes = 0;     // tips it rejects, whatever the others say
    int64_t onlyRemoves = 0; // tips no other test rejects
};

/** The caption of test t (FilterTest) on the options tab. */
QString testCaption(int t);
/** Its value with these settings. */
QString testValue(const RunSettings& s, int t);
/** One line per test that runs, in the filter's order. */
std::vector<TestLine> testLines(const RunSettings& s, const FilterCounts& counts);

/** "2,431,776 of 38,608,020 tips pass your filters (6.3 %)". */
QString countText(const FilterCounts& counts);

/**
 * Why no tip can pass, in plain words: the test or tests that block, with caption and value,
 * and the least change that lets tips through (looked for with the same analysis on changed
 * settings). `in` is what the counts were made from; with earlier tips in it and counts.pass > 0,
 * the consistency with those tips (for tip `row` + 1) is what blocks. A set `cancel` cuts the
 * search for proposals short (the text is then of no use).
 */
QString refusalText(const FilterInputs& in, const FilterCounts& counts, const DrawHistory& history,
                    int row = 0, const std::atomic<bool>* cancel = nullptr);

/**
 * For a run about to fill `row` of the table (already prepared): why no tip can pass there, or
 * nothing when one can. Also nothing when an earlier tip holds a cell that is no number and the
 * consistency test runs: the run reports that cell itself. A run under way gives its own pool
 * (the settings may have changed since it was built).
 */
std::optional<QString> noTipCanPass(const RunSettings& s, const DrawHistory& history,
                                    const RecentDraws& recent, const TipTable& table, int row,
                                    std::optional<uint64_t> pool = std::nullopt);

/** The first of the rows 0 .. rows-1 of a prepared table that gets a new tip, or -1. */
int firstNewRow(const TipTable& table, int rows);

} // namespace kw
