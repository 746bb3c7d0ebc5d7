// The odds of one tip and of a set of tips, held against plain enumerations.
#include "engine/Bits.h"
#include "engine/Odds.h"
#include "engine/Random.h"
#include "tips/TipTable.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kw;

namespace {

// Every main set in turn, as bits, by the next-combination step.
template <class F> void forEachMainSet(F f) {
    int c[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (;;) {
        uint64_t m = 0;
        for (int v : c)
            m |= uint64_t(1) << v;
        f(m);
        int i = 7;
        while (i >= 0 && c[i] == 37 - 7 + i)
            --i;
        if (i < 0)
            return;
        ++c[i];
        for (int j = i + 1; j < 8; ++j)
            c[j] = c[j - 1] + 1;
    }
}

uint64_t tipOf(std::initializer_list<int> n) {
    return bitsOf(n);
}

// Draws with a winning tip: main sets enumerated one by one, every tip counted with a popcount,
// the supplementary pairs among the 29 undrawn numbers counted one by one for each size of the
// four-hit tips' leftover numbers.
uint64_t referenceAnyWin(const std::vector<uint64_t>& tips) {
    std::array<uint64_t, 30> pairsHitting{};
    for (int u = 0; u <= 29; ++u)
        for (int x = 0; x < 29; ++x)
            for (int y = x + 1; y < 29; ++y)
                pairsHitting[size_t(u)] += (x < u || y < u) ? 1 : 0;
    uint64_t ways = 0;
    forEachMainSet([&](uint64_t drawn) {
        bool five = false;
        uint64_t left = 0;
        for (uint64_t t : tips) {
            const int h = bitCount(t & drawn);
            five = five || h >= 5;
            if (h == 4)
                left |= t & ~drawn;
        }
        ways += five ? kSupplementaryPairs : pairsHitting[size_t(bitCount(left))];
    });
    return ways;
}

} // namespace

TEST(OneTipOdds, AddsUpToAllDrawsAndMatchesAnEnumeration) {
    const OneTipOdds odds = oneTipOdds();
    uint64_t sum = 0, win = 0;
    for (int h = 0; h <= 8; ++h)
        for (int s = 0; s <= 2; ++s) {
            sum += odds.ways[size_t(h)][size_t(s)];
            if (h >= 5 || (h == 4 && s > 0))
                win += odds.ways[size_t(h)][size_t(s)];
        }
    EXPECT_EQ(sum, kAllDraws); // the fractions add up to 1 exactly
    EXPECT_EQ(kAllDraws, binomial(37, 8) * binomial(29, 2));
    EXPECT_EQ(odds.winWays, win);

    // Main hits of the tip 1..8 over all main sets; then, for a draw with h hits, the
    // supplementary numbers the tip holds over all 406 pairs of the undrawn numbers.
    const uint64_t tip = tipOf({1, 2, 3, 4, 5, 6, 7, 8});
    std::array<uint64_t, 9> mainSets{};
    forEachMainSet([&](uint64_t drawn) { ++mainSets[size_t(bitCount(tip & drawn))]; });
    for (int h = 0; h <= 8; ++h) {
        uint64_t drawn = 0; // h of the tip's numbers and 8-h of 9..37
        for (int k = 1; k <= h; ++k)
            drawn |= uint64_t(1) << k;
        for (int k = 0; k < 8 - h; ++k)
            drawn |= uint64_t(1) << (9 + k);
        std::vector<int> undrawn;
        for (int n = 1; n <= 37; ++n)
            if (!(drawn >> n & 1))
                undrawn.push_back(n);
        ASSERT_EQ(undrawn.size(), 29u);
        std::array<uint64_t, 3> held{};
        for (size_t x = 0; x < undrawn.size(); ++x)
            for (size_t y = x + 1; y < undrawn.size(); ++y)
                ++held[size_t((tip >> undrawn[x] & 1) + (tip >> undrawn[y] & 1))];
        for (int s = 0; s <= 2; ++s)
            EXPECT_EQ(odds.ways[size_t(h)][size_t(s)], mainSets[size_t(h)] * held[size_t(s)])
                << h << " hits, " << s;
    }
}

TEST(OneTipOdds, Texts) {
    const OneTipOdds odds = oneTipOdds();
    EXPECT_EQ(chanceText(odds.ways[8][0], kAllDraws), "1 in 38,608,020 (0.00000259 %)");
    EXPECT_EQ(oneInText(odds.winWays, kAllDraws), "1 in 59.4");
    EXPECT_EQ(percentText(odds.winWays, kAllDraws), "1.684 %");
    EXPECT_EQ(chanceText(odds.ways[8][1], kAllDraws), "never");
    EXPECT_EQ(oneInText(1, 2), "1 in 2.00");
}

TEST(TipsOdds, MatchesTheReferenceEnumeration) {
    const uint64_t a = tipOf({1, 2, 3, 4, 5, 6, 7, 8});
    const uint64_t b = tipOf({5, 6, 7, 8, 9, 10, 11, 12}); // four in common with a
    const uint64_t c = tipOf({20, 22, 24, 26, 28, 30, 35, 37});
    const uint64_t oneTip = oneTipOdds().winWays;
    struct Case {
        const char* name;
        std::vector<uint64_t> tips;
        std::vector<uint64_t> distinct; // the same draws win
    };
    std::vector<uint64_t> sixteenAThenB(16, a);
    sixteenAThenB.push_back(b); // b sits in the second group of 16
    const std::vector<Case> cases{
        {"one tip", {a}, {}},
        {"the same tip twice", {a, a}, {}},
        {"three tips", {a, b, c}, {a, b, c}},
        {"across a group of 16", sixteenAThenB, {a, b}},
    };
    std::optional<uint64_t> ab;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const auto odds = tipsOdds(k.tips);
        ASSERT_TRUE(odds);
        EXPECT_EQ(odds->winningTipWays, k.tips.size() * oneTip);
        if (k.distinct.empty()) {
            EXPECT_EQ(odds->anyWinWays, oneTip);
        } else {
            if (k.distinct.size() == 2 && !ab)
                ab = referenceAnyWin(k.distinct);
            EXPECT_EQ(odds->anyWinWays, k.distinct.size() == 2 ? *ab : referenceAnyWin(k.distinct));
            EXPECT_EQ(tipsOdds(k.tips, nullptr, {}, 1)->anyWinWays, odds->anyWinWays) << "one thread";
        }
    }
}

TEST(TipsOdds, ProgressAndCancel) {
    const auto tips = randomTips(20, 7);
    std::vector<double> seen;
    const auto odds = tipsOdds(tips, nullptr, [&](double f) { seen.push_back(f); });
    ASSERT_TRUE(odds);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
    // more tips never make a win less likely; the expectation grows exactly with their number
    EXPECT_GE(odds->anyWinWays, tipsOdds({tips.begin(), tips.begin() + 10})->anyWinWays);
    EXPECT_DOUBLE_EQ(odds->expectedWins(), 20 * double(oneTipOdds().winWays) / double(kAllDraws));

    std::atomic<bool> cancel{true};
    EXPECT_FALSE(tipsOdds(tips, &cancel));
    cancel = false;
    int calls = 0;
    EXPECT_FALSE(tipsOdds(tips, &cancel, [&](double) {
        if (++calls == 3)
            cancel = true;
    }));
}

TEST(TipsOdds, RandomTipsRepeatFromTheirSeed) {
    const auto tips = randomTips(96, kRandomTipsSeed);
    ASSERT_EQ(tips.size(), 96u);
    for (uint64_t t : tips) {
        EXPECT_EQ(bitCount(t), 8);
        EXPECT_EQ(t & ~(((uint64_t(1) << 38) - 1) & ~uint64_t(1)), 0u) << "numbers 1..37 only";
    }
    EXPECT_EQ(randomTips(96, kRandomTipsSeed), tips);
    EXPECT_NE(randomTips(96, kRandomTipsSeed + 1), tips);
    // every number comes up about equally often: 96 x 8 / 37 = 20.8 each
    std::array<int, 38> count{};
    for (uint64_t t : randomTips(3700, 1))
        for (int n = 1; n <= 37; ++n)
            count[size_t(n)] += int(t >> n & 1);
    for (int n = 1; n <= 37; ++n)
        EXPECT_NEAR(count[size_t(n)], 800, 120) << n;
}

TEST(TipsOdds, TipsInPlayAreTheRowsInUseWithEightDifferentNumbers) {
    TipTable t;
    const std::vector<std::vector<const char*>> rows{
        {"1", "2", "3", "4", "5", "6", "7", "8"},         // a tip
        {},                                               // empty
        {"1", "2", "3", "4", "5", "6", "7", "7"},         // a number twice
        {"1", "2", "3", "4", "5", "6", "7", "38"},        // not a number of the game
        {"1", "2", "3", "4", "5", "6", "7", "x"},         // not a number
        {"37", "36", "35", "34", "33", "32", "31", "30"}, // a tip, in any order
        {"9", "10", "11", "12", "13", "14", "15", "16"},  // beyond the rows in use
    };
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t p = 0; p < rows[r].size(); ++p)
            t.setCell(int(p + 1), int(r), QString::fromLatin1(rows[r][p]));
    EXPECT_EQ(tipsInPlay(t, 6), (std::vector<uint64_t>{tipOf({1, 2, 3, 4, 5, 6, 7, 8}),
                                                       tipOf({30, 31, 32, 33, 34, 35, 36, 37})}));
    EXPECT_EQ(tipsInPlay(t, 7).size(), 3u);
    EXPECT_TRUE(tipsInPlay(t, 0).empty());
}
