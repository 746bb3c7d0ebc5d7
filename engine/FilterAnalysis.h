#pragma once

#include "engine/DrawHistory.h"
#include "engine/RunSettings.h"
#include "tips/TipTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace kw {

/** Every tip of eight different numbers out of 1..37: C(37, 8). */
inline constexpr int64_t kAllTips = 38608020;

/** The tests the count looks at, in the filter's order (test 1, the consistency, only per row). */
enum FilterTest : int {
    kPairTest,       // 2: a pair of consecutive numbers (PaarMuss)
    kRunTest,        // 3: no run of three (PaarMuss)
    kCrossSumTest,   // 4
    kLastDrawTest,   // 5
    kSecondLastTest, // 6
    kThirdLastTest,  // 7
    kEvenTest,       // 8
    kOddTest,        // 9
    kRecentTest,     // 10: the recent draws
    kAllDrawsTest,   // 11: every draw since the chart start date
    kPrimeTest,      // 12
    kFilterTests
};

/**
 * What the analysis needs, taken once from the settings, the history and the pool exactly as a
 * run would see them; it holds no reference to the history, so a worker thread can own it.
 */
struct FilterInputs {
    RunSettings settings;
    RecentDraws recent{};
    uint64_t pool = 0;                               // numbers the pool holds, as bits 1..37
    std::vector<DrawEight> recentWindow;             // the draws of test 10
    std::vector<DrawEight> allWindow;                // the draws of test 11, in file order
    std::vector<double> allWindowDays;               // their dates
    std::vector<std::array<int32_t, 8>> earlierTips; // the rows above the one to fill (test 1)
    bool badEarlierTip = false; // an earlier row holds a cell that is no number: test 1 would throw
};

/**
 * Takes the pool from the run's own plan (planRun) and the two windows from the history. Throws
 * the history's file error when a test that reads the history is on.
 */
FilterInputs filterInputs(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent);

/** The earlier tips of a row as the consistency test reads them (rows 0 .. row-1, first cell set). */
void setEarlierTips(FilterInputs& in, const TipTable& table, int row);

/** Whether the filter runs test t with these settings. */
bool testActive(const RunSettings& s, int t);

/** The exact count of tests 2 to 12 over every tip the pool can give. */
struct FilterCounts {
    int64_t drawable = 0; // tips whose eight numbers the pool holds
    int64_t pass = 0;     // of those, tips that pass every test
    std::array<bool, kFilterTests> active{};
    std::array<int64_t, kFilterTests> fails{};     // tips the test rejects, whatever the others say
    std::array<int64_t, kFilterTests> onlyFails{}; // tips it alone rejects: what switching it off adds
};

/**
 * Counts every tip of numbers in the pool. Runs on `threads` threads (the caller's among them);
 * gives nothing when `cancel` was set before the end.
 */
std::optional<FilterCounts> countTips(const FilterInputs& in, const std::atomic<bool>* cancel = nullptr,
                                      int threads = 2);

/**
 * The tips that pass every test including test 1 against in.earlierTips (when it runs), up to
 * `stopAt` (the search ends once that many are found). Nothing when cancelled.
 */
std::optional<int64_t> countPassing(const FilterInputs& in, int64_t stopAt = kAllTips,
                                    const std::atomic<bool>* cancel = nullptr, int threads = 2);

/** Tips of eight numbers out of the given set: C(n, 8). */
int64_t tipsOf(uint64_t numbers);

} // namespace kw
