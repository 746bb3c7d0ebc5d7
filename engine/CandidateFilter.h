#pragma once

#include "engine/Bits.h"
#include "engine/DrawHistory.h"
#include "engine/RunSettings.h"
#include "tips/TipTable.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kw {

/**
 * Numbers 1..37 as bits, with one layer per repetition: layer m holds the numbers that occur
 * more than m times. The matches with a set of different numbers c are then the sum of
 * popcount(layer & c), which counts a number held twice twice. Other values never match.
 */
struct NumberLayers {
    std::array<uint64_t, 8> layer{};
    int count = 0;

    template <class It> static NumberLayers of(It first, It last);
    int matches(uint64_t c) const;
};

/** Bits for 1..37 of eight different numbers. */
uint64_t maskOf(const std::array<int32_t, 8>& numbers);

/** What the last test run of a candidate touched (for the status line and the chart). */
struct FilterTrace {
    bool reachedHistory = false;  // test 10 or 11 read the history
    bool reachedAllDraws = false; // test 11 ran: the status line shows its text
};

/**
 * The twelve tests a candidate must pass, in their order. Prepared once per slice of a run from a
 * snapshot of the settings, the history in memory, the recent draws and the earlier tips; then a
 * generated candidate (eight different numbers as bits) is judged with a few bit operations.
 */
class CandidateFilter {
public:
    /** Takes the settings and the history (already refreshed) for the next candidates. */
    void prepare(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent);
    /** The earlier tips are the rows 0 .. row-1 of the table. */
    void setEarlierTips(const TipTable& table, int row);
    /** Row q (== the current row) has become an earlier tip. */
    void addEarlierTip(const TipTable& table, int q);

    /** A generated candidate: eight different numbers in 1..37 as bits, and their sum. */
    bool accepts(uint64_t c, int sum, FilterTrace& trace) const;
    /**
     * Any eight integers (a kept tip, in its stored order), compared pair by pair as the tip
     * check does. Throws like accepts().
     */
    bool acceptsAny(const std::array<int32_t, 8>& c, FilterTrace& trace) const;

    /** Best match of a generated candidate with a draw since the chart start date. */
    int bestSinceChartStart(uint64_t c) const;

    const RunSettings& settings() const { return m_s; }

private:
    struct EarlierTip {
        std::array<int32_t, 8> values{};
        NumberLayers layers;
    };
    struct Window {
        std::vector<uint64_t> single;         // records whose numbers are different
        std::vector<NumberLayers> multi;      // records holding a number twice
        std::vector<const TZiehung*> records; // all of them, for the pair-by-pair path
        bool any(uint64_t c, int atLeast) const;
        int best(uint64_t c) const;
    };
    void buildWindow(Window& w, double start, double end) const;
    [[noreturn]] void throwBadTip() const;
    void requireHistory() const;
    bool consistent(uint64_t c) const;

    RunSettings m_s;
    const DrawHistory* m_history = nullptr;
    std::array<NumberLayers, 3> m_recentLayers;
    RecentDraws m_recent{};
    // earlier tips
    std::vector<EarlierTip> m_tips;
    std::vector<uint64_t> m_tipMasks; // tips of different numbers (one layer)
    std::vector<NumberLayers> m_tipMulti;
    std::optional<std::array<int, 2>>
        m_badTip; // first earlier tip with a cell that is no number: row, column
    QString m_badText;
    // history windows of tests 10 and 11
    bool m_recentTest = false, m_allTest = false;
    Window m_recentWindow, m_allWindow;
    struct WindowKey {
        uint64_t generation = ~uint64_t(0);
        double start = 0, end = 0;
        bool operator==(const WindowKey&) const = default;
    };
    WindowKey m_recentKey, m_allKey;
};

template <class It> NumberLayers NumberLayers::of(It first, It last) {
    NumberLayers l;
    for (; first != last; ++first) {
        const auto v = *first;
        if (v < 1 || v > 37)
            continue;
        const uint64_t bit = uint64_t(1) << v;
        int m = 0;
        while (l.layer[size_t(m)] & bit)
            ++m;
        l.layer[size_t(m)] |= bit;
        if (m + 1 > l.count)
            l.count = m + 1;
    }
    return l;
}

inline int NumberLayers::matches(uint64_t c) const {
    int n = 0;
    for (int m = 0; m < count; ++m)
        n += bitCount(layer[size_t(m)] & c);
    return n;
}

} // namespace kw
