#pragma once

#include "engine/RunSettings.h"
#include "engine/Statistics.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace kw {

/** The weighted list candidates are drawn from: a number's share of the entries is its weight. */
struct NumberPool {
    std::vector<uint8_t> entries;  // values 1..37, in the order the build leaves them
    int distinctBeforeRemoval = 0; // different numbers before the last draws' numbers were taken out

    /** Index of the last entry (-1 when empty). */
    int S() const { return int(entries.size()) - 1; }
    /** The different numbers in the pool as bits 1..37. */
    uint64_t numbers() const;
    int distinct() const;
    /** A candidate needs eight different numbers; a smaller pool could never produce one. */
    bool canDrawTip() const { return distinct() >= 8; }
};

bool poolNeedsDistribution(const RunSettings& s);
bool poolNeedsOverdue(const RunSettings& s);

/**
 * Builds the pool: frequent, rare and overdue numbers (from the statistics given; required when
 * the matching percentage is above 0), neighbours of the last draw, the base entries, then takes
 * out the numbers of the recent draws whose match limit is 0, closing up from the end.
 */
NumberPool buildPool(const RunSettings& s, const RecentDraws& recent, const NumberStats* dist,
                     const NumberStats* overdueStats);

/** Why a pool cannot give a tip, in words for the status line. */
QString poolShortageText(const NumberPool& pool, const RunSettings& s);

} // namespace kw
