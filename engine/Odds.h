#pragma once

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kw {

/** C(n, k) exactly; 0 outside 0 <= k <= n. Large enough for every count of this game. */
uint64_t binomial(int n, int k);

/** The equally likely draws: the main sets C(37, 8) times the supplementary pairs C(29, 2). */
inline constexpr uint64_t kMainSets = 38608020;      // C(37, 8)
inline constexpr uint64_t kSupplementaryPairs = 406; // C(29, 2): two of the 29 numbers not drawn
inline constexpr uint64_t kAllDraws = kMainSets * kSupplementaryPairs;

/**
 * The outcomes of one tip of eight different numbers, as the tip check tells them apart: main
 * hits (0..8) and how many of the two supplementary numbers the tip holds (0..2; the list shows
 * "+1" for each). ways[h][s] counts the draws, out of kAllDraws, that give that outcome.
 */
struct OneTipOdds {
    std::array<std::array<uint64_t, 3>, 9> ways{};
    uint64_t winWays = 0; // five or more hits, or four with a supplementary number held

    uint64_t hitWays(int hits) const {
        return ways[size_t(hits)][0] + ways[size_t(hits)][1] + ways[size_t(hits)][2];
    }
};

/** The exact table, from the hypergeometric counts. */
OneTipOdds oneTipOdds();

/** "1 in 59.4" for ways out of total (three significant digits, whole numbers above 1,000). */
QString oneInText(uint64_t ways, uint64_t total);
/** "1.684 %" with enough digits to show a small chance. */
QString percentText(uint64_t ways, uint64_t total);
/** "1 in N (P %)"; "never" for no way. */
QString chanceText(uint64_t ways, uint64_t total);

/** What a set of tips can expect at the next draw, counted over all kAllDraws draws. */
struct TipsOdds {
    int tips = 0;
    uint64_t anyWinWays = 0;     // draws in which at least one tip wins
    uint64_t winningTipWays = 0; // sum over the draws of the winning tips (expected wins x kAllDraws)

    double anyWin() const { return double(anyWinWays) / double(kAllDraws); }
    double expectedWins() const { return double(winningTipWays) / double(kAllDraws); }
};

using OddsProgress = std::function<void(double fraction)>;

/**
 * Enumerates every main set once (both cores by default), counts for each how many tips have
 * five or more hits and which numbers the four-hit tips leave among the 29, and handles the two
 * supplementary numbers by counting. Tips are eight different numbers 1..37 as bits. Returns
 * nothing when cancel was set; progress is called from the worker threads, one at a time.
 */
std::optional<TipsOdds> tipsOdds(const std::vector<uint64_t>& tips, const std::atomic<bool>* cancel = nullptr,
                                 const OddsProgress& progress = {}, int threads = 2);

class Random;
/** n tips of eight different numbers, each set equally likely, from the seed. */
std::vector<uint64_t> randomTips(int n, uint32_t seed);
/** The same from a running generator, which it advances. */
std::vector<uint64_t> randomTips(Random& random, int n);

/** The seed of the random tips shown beside the user's, fixed so that the figures repeat. */
inline constexpr uint32_t kRandomTipsSeed = 20150807u;

/** The tips of rows 0 .. rows-1 that are eight different numbers 1..37, as bits. */
struct TipTable;
std::vector<uint64_t> tipsInPlay(const TipTable& table, int rows);

} // namespace kw
