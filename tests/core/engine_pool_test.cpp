// The random generator, the number statistics and the number pool.
#include "TestUtil.h"

#include "draws/HistoryFile.h"
#include "engine/NumberPool.h"
#include "engine/Random.h"
#include "engine/Statistics.h"

#include <gtest/gtest.h>

using namespace kw;

TEST(EngineRandom, KnownSequenceAndNegativeSeed) {
    Random r(12345);
    EXPECT_EQ(r.next(37), 14u);
    EXPECT_EQ(r.next(37), 10u);
    EXPECT_EQ(r.next(37), 2u);
    EXPECT_EQ(r.next(100), 55u);
    EXPECT_EQ(r.next(1000), 633u);
    EXPECT_EQ(r.seed(), 2721613530u);
    Random n(uint32_t(int32_t(-5))); // a negative lucky number seeds with its two's complement
    EXPECT_EQ(n.next(37), 31u);
    EXPECT_EQ(n.next(37), 32u);
}

TEST(EngineStatistics, SeedDraws) {
    const auto draws = seedDraws();
    const std::vector<TZiehung> seed(draws.begin(), draws.end());
    const NumberStats d = distribution(seed, 42223, 42225);
    EXPECT_EQ(d.value[4], 2);  // 07.08. and 09.08.
    EXPECT_EQ(d.value[36], 2); // drawn 08.08., supplementary 09.08.
    EXPECT_EQ(d.value[1], 0);
    EXPECT_EQ(d.draws, 3);
    EXPECT_EQ(d.lo, 0);
    EXPECT_EQ(d.hi, 2);

    // The draw on the start day itself is not counted as waiting.
    const NumberStats o = overdue(seed, 42223, 42225);
    EXPECT_EQ(o.value[36], 1);
    EXPECT_EQ(o.value[12], 2);
    EXPECT_EQ(o.value[1], 3);
    EXPECT_EQ(o.value[37], 1); // supplementary only
    EXPECT_EQ(o.value[4], 1);
    EXPECT_EQ(o.value[5], 3); // drawn on the start day only

    const NumberStats empty = distribution(seed, 42226, 42225);
    EXPECT_EQ(empty.draws, 0);
    EXPECT_EQ(empty.lo, empty.hi);
    const NumberStats emptyOver = overdue(seed, 42226, 42225);
    EXPECT_EQ(emptyOver.lo, 1);
    EXPECT_EQ(emptyOver.hi, 1);
}

TEST(EngineStatistics, DamagedRecordsDoNotCountBytesAbove37) {
    std::vector<TZiehung> h{kwtest::draw(100, {0, 5, 5, 40, 200, 1, 2, 3, 38, 37})};
    const NumberStats d = distribution(h, 100, 100);
    EXPECT_EQ(d.value[0], 1);
    EXPECT_EQ(d.value[5], 2);
    EXPECT_EQ(d.value[37], 1);
    EXPECT_EQ(d.hi, 2);
}

namespace {

RunSettings poolOnly() {
    RunSettings s;
    s.BesOft = s.BesSelten = s.Ueberfaellig = 0;
    s.Benachbarte = false;
    s.BevorzugteZahlen = true;
    s.UeLetzte = s.Uevorletzte = s.UeVorVorletzte = 1;
    return s;
}

NumberStats statsOf(std::initializer_list<std::pair<int, int>> values, int rest) {
    NumberStats st;
    st.value.fill(rest);
    for (auto [n, v] : values)
        st.value[size_t(n)] = v;
    st.lo = st.hi = st.value[1];
    for (int n = 1; n <= 37; ++n) {
        st.lo = std::min(st.lo, st.value[size_t(n)]);
        st.hi = std::max(st.hi, st.value[size_t(n)]);
    }
    return st;
}

using Entries = std::vector<uint8_t>;

} // namespace

TEST(EnginePool, FrequentRareAndOverdueBounds) {
    // lo 8, hi 20: BesOft 10 gives a = b = 19; BesSelten 30 gives a = 12, b = 10.
    const NumberStats d =
        statsOf({{1, 8}, {2, 20}, {3, 19}, {4, 18}, {5, 10}, {6, 11}, {7, 12}, {8, 13}}, 15);
    RunSettings s = poolOnly();
    s.BesOft = 10;
    EXPECT_EQ(buildPool(s, {}, &d, nullptr).entries, (Entries{2, 2, 3, 3, 2, 3}));
    s.BesOft = 0;
    s.BesSelten = 30;
    EXPECT_EQ(buildPool(s, {}, &d, nullptr).entries, (Entries{1, 1, 5, 5, 6, 6, 7, 7, 1, 5}));

    // Halves go to the even neighbour: lo 1, hi 15, 75 % gives a = Round(4.5) = 4, b = Round(9.75) = 10.
    const NumberStats o = statsOf({{1, 1}, {2, 15}, {3, 4}, {4, 3}, {5, 10}, {6, 9}}, 2);
    s = poolOnly();
    s.Ueberfaellig = 75;
    EXPECT_EQ(buildPool(s, {}, nullptr, &o).entries, (Entries{2, 2, 3, 3, 5, 5, 6, 6, 2, 5}));

    // All values equal: every number gets three entries from each step.
    const NumberStats flat = statsOf({}, 4);
    s = poolOnly();
    s.BesOft = 1;
    s.BesSelten = 1;
    const NumberPool p = buildPool(s, {}, &flat, nullptr);
    EXPECT_EQ(p.entries.size(), size_t(37 * 6));
    EXPECT_EQ(std::count(p.entries.begin(), p.entries.end(), 17), 6);
}

TEST(EnginePool, NeighboursBaseAndEmptyPreference) {
    RunSettings s = poolOnly();
    s.Benachbarte = true;
    const RecentDraws recent{DrawEight{1, 10, 11, 20, 30, 35, 36, 37}, {}, {}};
    const NumberPool p = buildPool(s, recent, nullptr, nullptr);
    auto count = [&](int n) { return std::count(p.entries.begin(), p.entries.end(), n); };
    EXPECT_EQ(count(2), 4);
    EXPECT_EQ(count(36), 8); // next to 35 and to 37
    EXPECT_EQ(count(0) + count(38), 0);
    EXPECT_EQ(count(10), 4); // next to 11; 10 itself stays (no removal)
    EXPECT_EQ((Entries(p.entries.begin(), p.entries.begin() + 12)),
              (Entries{2, 2, 2, 2, 9, 9, 9, 9, 11, 11, 11, 11}));

    // Without preferences: the base, 1 to 37 and 1 once more.
    s = poolOnly();
    s.BevorzugteZahlen = false;
    const NumberPool base = buildPool(s, {}, nullptr, nullptr);
    ASSERT_EQ(base.entries.size(), size_t(38));
    EXPECT_EQ(base.entries.front(), 1);
    EXPECT_EQ(base.entries[36], 37);
    EXPECT_EQ(base.entries.back(), 1);

    // Only preferred numbers, and none preferred: an empty pool that cannot give a tip.
    const NumberPool none = buildPool(poolOnly(), {}, nullptr, nullptr);
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.S(), -1);
    EXPECT_FALSE(none.canDrawTip());
    EXPECT_TRUE(poolShortageText(none, poolOnly()).contains(QStringLiteral("only use preferred numbers")));
}

TEST(EnginePool, RemovalClosesUpFromTheEnd) {
    RunSettings s = poolOnly();
    s.BevorzugteZahlen = false;
    s.UeLetzte = 0;
    const RecentDraws recent{DrawEight{1, 2, 36, 37, 0, 0, 0, 0}, DrawEight{3, 4, 5, 6, 7, 8, 9, 10}, {}};
    Entries expected{35, 34};
    for (int n = 3; n <= 33; ++n)
        expected.push_back(uint8_t(n));
    const NumberPool p = buildPool(s, recent, nullptr, nullptr);
    EXPECT_EQ(p.entries, expected); // the second-last draw stays: its limit is 1
    EXPECT_EQ(p.S(), 32);

    // Its limit 0 takes its numbers out as well.
    s.Uevorletzte = 0;
    const NumberPool q = buildPool(s, recent, nullptr, nullptr);
    EXPECT_EQ(q.distinct(), 37 - 12);
    EXPECT_EQ(q.numbers() & ((uint64_t(1) << 11) - 1), 0u);

    // Preferred numbers that are all in the last draw leave nothing.
    RunSettings pref = poolOnly();
    pref.Benachbarte = true;
    pref.UeLetzte = 0;
    const RecentDraws tight{DrawEight{10, 11, 12, 13, 14, 15, 16, 17}, {}, {}};
    const NumberPool r = buildPool(pref, tight, nullptr, nullptr);
    EXPECT_EQ(r.entries, (Entries{9, 9, 9, 9, 18, 18, 18, 18}));
    EXPECT_FALSE(r.canDrawTip());
}
