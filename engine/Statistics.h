#pragma once

#include "draws/Ziehung.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kw {

/** A per-number statistic over a window of the history; value[0] only collects stray zeros. */
struct NumberStats {
    std::array<int32_t, 38> value{};
    int32_t lo = 0; // lowest and highest value over the numbers 1..37
    int32_t hi = 0;
    int32_t draws = 0; // draws in the window (the distribution counts them)
};

/**
 * How often each number occurs among the ten numbers of the draws dated start <= date <= end.
 * Bytes above 37 in a damaged record are not numbers of the game and are not counted.
 */
NumberStats distribution(const std::vector<TZiehung>& records, double start, double end);

/**
 * How many draws each number has been waiting: 1 + the draws after its latest appearance among
 * the ten numbers, over the draws dated start < date <= end in file order.
 */
NumberStats overdue(const std::vector<TZiehung>& records, double start, double end);

/** True for 2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37 (the bars drawn in red). */
bool isPrimeNumber(int n);

} // namespace kw
