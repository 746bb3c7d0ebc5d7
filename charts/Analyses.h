#pragma once

#include "app/Dates.h"
#include "draws/Ziehung.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace kw {

/** Distribution of the cross sums (sum of the eight main numbers) over a window of draws. */
struct CrossSums {
    static constexpr int kSums = 280; // valid draws sum to 36 .. 268

    std::array<int32_t, kSums> counter{};
    int smallest = 500;
    int largest = 0;
    double draws = 0;
    double total = 0;

    /** Counts one draw. A record whose sum no valid draw reaches is left out altogether. */
    void add(const TZiehung& z);
    bool empty() const { return draws == 0; }
    /** "Distribution of cross sums in N draws  -- average: A"; says plainly when there is no draw. */
    QString title() const;
};

/** Neighbouring pairs i, i+1 (i = 1..36) among the eight main numbers of a window of draws. */
struct PairCounts {
    static constexpr int kPairs = 36;

    std::array<int32_t, kPairs + 1> counter{}; // [1..36]; [0] unused
    int32_t draws = 0;
    int32_t pairs = 0;

    /** Counts one draw; the supplementary numbers never complete a pair. */
    void add(const TZiehung& z);
    int32_t lowest() const;
    int32_t highest() const;
    /** The first number of the most frequent pair; the lowest one among equal counts. */
    int best() const;
    /** "Draws: D  pairs: P  Max: H => i,i+1". */
    QString title() const;
};

CrossSums crossSums(const std::vector<TZiehung>& draws, double start, double end);
PairCounts pairCounts(const std::vector<TZiehung>& draws, double start, double end);

} // namespace kw
