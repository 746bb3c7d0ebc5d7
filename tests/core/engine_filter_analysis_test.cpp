// The exact count of tips that can pass must agree, tip for tip, with the filter the run uses.
#include "TestUtil.h"

#include "engine/Bits.h"
#include "engine/CandidateFilter.h"
#include "engine/CpuChoice.h"
#include "engine/FilterAnalysis.h"

#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>
#include <random>

using namespace kw;

namespace {

using Tip = std::array<int32_t, 8>;

// Each test off, as the filter itself switches them off.
RunSettings everythingOff(const RunSettings& from) {
    RunSettings s = from;
    s.MinUeber = 0;
    s.MaxUeber = 8;
    s.PaarMuss = false;
    s.QuerMin = 0;
    s.QuerMax = 1000;
    s.UeLetzte = s.Uevorletzte = s.UeVorVorletzte = 8;
    s.gerade = s.Ungerade = s.Primzahlen = 0;
    s.DreioderVier = 8;
    s.Fuenferodersechser = 9;
    return s;
}

// The settings with test t alone switched on (tests 2 and 3 share their switch).
RunSettings only(const RunSettings& s, int t) {
    RunSettings o = everythingOff(s);
    switch (t) {
    case kPairTest:
    case kRunTest:
        o.PaarMuss = s.PaarMuss;
        break;
    case kCrossSumTest:
        o.QuerMin = s.QuerMin;
        o.QuerMax = s.QuerMax;
        break;
    case kLastDrawTest:
        o.UeLetzte = s.UeLetzte;
        break;
    case kSecondLastTest:
        o.Uevorletzte = s.Uevorletzte;
        break;
    case kThirdLastTest:
        o.UeVorVorletzte = s.UeVorVorletzte;
        break;
    case kEvenTest:
        o.gerade = s.gerade;
        break;
    case kOddTest:
        o.Ungerade = s.Ungerade;
        break;
    case kRecentTest:
        o.DreioderVier = s.DreioderVier;
        break;
    case kAllDrawsTest:
        o.Fuenferodersechser = s.Fuenferodersechser;
        break;
    case kPrimeTest:
        o.Primzahlen = s.Primzahlen;
        break;
    }
    return o;
}

// The settings with test t switched off and the others as they are.
RunSettings without(const RunSettings& s, int t) {
    RunSettings o = s;
    const RunSettings off = everythingOff(s);
    switch (t) {
    case kPairTest:
    case kRunTest:
        o.PaarMuss = false;
        break;
    case kCrossSumTest:
        o.QuerMin = off.QuerMin;
        o.QuerMax = off.QuerMax;
        break;
    case kLastDrawTest:
        o.UeLetzte = 8;
        break;
    case kSecondLastTest:
        o.Uevorletzte = 8;
        break;
    case kThirdLastTest:
        o.UeVorVorletzte = 8;
        break;
    case kEvenTest:
        o.gerade = 0;
        break;
    case kOddTest:
        o.Ungerade = 0;
        break;
    case kRecentTest:
        o.DreioderVier = 8;
        break;
    case kAllDrawsTest:
        o.Fuenferodersechser = 9;
        break;
    case kPrimeTest:
        o.Primzahlen = 0;
        break;
    }
    return o;
}

// A random history with odd records among the daily draws: numbers twice, 0, above 37, unsorted,
// and two records on one day.
std::vector<TZiehung> oddHistory(std::mt19937& g, int count) {
    std::vector<TZiehung> h = kwtest::dailyDraws(count, unsigned(g()));
    std::uniform_int_distribution<int> any(0, std::max(0, count - 1)), num(1, 37);
    for (int i = 0; i < std::min(count / 20 + 1, 6) && count > 0; ++i) {
        TZiehung& z = h[size_t(any(g))];
        switch (g() % 4) {
        case 0:
            z.Zahlen[3] = z.Zahlen[2]; // a number twice
            break;
        case 1:
            z.Zahlen[0] = 0;
            z.Zahlen[7] = uint8_t(40 + g() % 200);
            break;
        case 2:
            std::swap(z.Zahlen[1], z.Zahlen[6]);
            break;
        default:
            if (&z != &h.front())
                z.Ziehungsdatum = (&z - 1)->Ziehungsdatum;
            for (auto& v : z.Zahlen)
                v = uint8_t(num(g) % 3 + 5); // mostly the same few numbers
        }
    }
    return h;
}

RunSettings randomSettings(std::mt19937& g, const std::vector<TZiehung>& h) {
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
    RunSettings s;
    s.BesOft = in(0, 75);
    s.BesSelten = in(0, 75);
    s.Ueberfaellig = in(0, 75);
    s.Benachbarte = in(0, 1);
    s.BevorzugteZahlen = in(0, 3) == 0;
    s.MinUeber = in(0, 2);
    s.MaxUeber = in(1, 8);
    s.PaarMuss = in(0, 2) == 0;
    s.QuerMin = in(0, 1) ? 21 : in(21, 160);
    s.QuerMax = in(0, 1) ? 268 : in(100, 268);
    s.UeLetzte = in(0, 6);
    s.Uevorletzte = in(0, 6);
    s.UeVorVorletzte = in(0, 6);
    s.gerade = in(0, 1) ? 0 : in(0, 6);
    s.Ungerade = in(0, 1) ? 0 : in(0, 6);
    s.Primzahlen = in(0, 1) ? 0 : in(0, 5);
    s.DreioderVier = in(2, 9);
    s.DreioderVierWochen = in(4, 104);
    s.Fuenferodersechser = in(3, 9);
    const double first = h.empty() ? kFirstSeedDay : h.front().Ziehungsdatum;
    const double last = h.empty() ? kFirstSeedDay : h.back().Ziehungsdatum;
    s.drawDay = last - in(0, 10);
    s.chartStart = first + in(-3, int(last - first));
    return s;
}

struct Case {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    std::vector<TZiehung> records;
    DrawHistory history{path};
    RunSettings s;
    RecentDraws recent{};
    TipTable table;
    int row = 0;

    /** `last` replaces the numbers of the last draws, the very last first. */
    Case(std::mt19937& g, int draws, const std::vector<Tip>& last = {}) : records(oddHistory(g, draws)) {
        for (size_t d = 0; d < last.size() && d < records.size(); ++d)
            std::copy(last[d].begin(), last[d].end(), records[records.size() - 1 - d].Zahlen.begin());
        kwtest::writeHistory(path, records);
        history.refresh();
        s = randomSettings(g, records);
        for (size_t d = 0; d < 3; ++d) {
            const TZiehung& z = records.empty() ? TZiehung{} : records[g() % records.size()];
            std::copy(z.Zahlen.begin(), z.Zahlen.begin() + 8, recent[d].begin());
        }
        if (g() % 4 == 0)
            recent[0][5] = recent[0][4]; // a recent draw holding a number twice
        row = int(g() % 5);
        for (int q = 0; q < row; ++q) {
            std::vector<int> n(37);
            std::iota(n.begin(), n.end(), 1);
            std::shuffle(n.begin(), n.end(), g);
            if (g() % 5 == 0)
                n[1] = n[0]; // a kept tip may hold a number twice
            if (g() % 7 == 0)
                n[2] = 99;
            for (int p = 1; p <= 8; ++p)
                table.Tippreihen[p][q] = QString::number(n[size_t(p - 1)]);
        }
        if (row > 1 && g() % 6 == 0)
            table.Tippreihen[1][0].clear(); // an empty row is skipped
    }

    /** The tips of `numbers` the filter accepts with settings t. */
    int64_t oracle(const RunSettings& t, uint64_t numbers, bool withEarlier) {
        CandidateFilter f;
        f.prepare(t, history, recent);
        f.setEarlierTips(table, withEarlier ? row : 0);
        int num[37], n = 0;
        for (uint64_t b = numbers; b; b &= b - 1)
            num[n++] = std::countr_zero(b);
        int64_t accepted = 0;
        std::array<int, 8> idx{0, 1, 2, 3, 4, 5, 6, 7};
        if (n < 8)
            return 0;
        for (;;) {
            uint64_t c = 0;
            int sum = 0;
            for (int i : idx) {
                c |= uint64_t(1) << num[i];
                sum += num[i];
            }
            FilterTrace trace;
            accepted += f.accepts(c, sum, trace) ? 1 : 0;
            int k = 7;
            while (k >= 0 && idx[size_t(k)] == n - 8 + k)
                --k;
            if (k < 0)
                return accepted;
            ++idx[size_t(k)];
            for (int j = k + 1; j < 8; ++j)
                idx[size_t(j)] = idx[size_t(j - 1)] + 1;
        }
    }
};

/** The written-out bit count instead of the popcnt instruction while it lives. */
struct PortableCounting {
    explicit PortableCounting(bool on) { forcePortableCounting(on); }
    ~PortableCounting() { forcePortableCounting(false); }
    PortableCounting(const PortableCounting&) = delete;
    PortableCounting& operator=(const PortableCounting&) = delete;
};

uint64_t randomNumbers(std::mt19937& g, int count) {
    std::vector<int> n(37);
    std::iota(n.begin(), n.end(), 1);
    std::shuffle(n.begin(), n.end(), g);
    uint64_t m = 0;
    for (int i = 0; i < count; ++i)
        m |= uint64_t(1) << n[size_t(i)];
    return m;
}

} // namespace

// Small pools are enumerated in full: the total, what each test removes alone and what switching
// it off would add, and the count with the earlier tips, all from the filter itself.
TEST(FilterAnalysis, EqualsTheFilterOnEveryTipOfSmallPools) {
    std::mt19937 g(20240611);
    for (int round = 0; round < 40; ++round) {
        Case c(g, int(g() % 400));
        FilterInputs in = filterInputs(c.s, c.history, c.recent);
        in.pool = randomNumbers(g, 9 + int(g() % 7));
        SCOPED_TRACE(testing::Message() << "round " << round);
        const PortableCounting portable(round % 4 == 3); // as on a processor without popcnt

        const auto counts = countTips(in, nullptr, 1 + round % 2);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->drawable, tipsOf(in.pool));
        const int64_t pass = c.oracle(c.s, in.pool, false);
        EXPECT_EQ(counts->pass, pass);
        for (int t = 0; t < kFilterTests; ++t) {
            if (t == kPairTest || t == kRunTest)
                continue;
            SCOPED_TRACE(testing::Message() << "test " << t + 2);
            EXPECT_EQ(counts->active[size_t(t)], testActive(c.s, t));
            EXPECT_EQ(counts->fails[size_t(t)], counts->drawable - c.oracle(only(c.s, t), in.pool, false));
            EXPECT_EQ(counts->onlyFails[size_t(t)], c.oracle(without(c.s, t), in.pool, false) - pass);
        }
        // Tests 2 and 3 share their switch, and no tip fails both (a run holds a pair).
        EXPECT_EQ(counts->fails[kPairTest] + counts->fails[kRunTest],
                  counts->drawable - c.oracle(only(c.s, kPairTest), in.pool, false));
        EXPECT_EQ(counts->onlyFails[kPairTest] + counts->onlyFails[kRunTest],
                  c.oracle(without(c.s, kPairTest), in.pool, false) - pass);

        setEarlierTips(in, c.table, c.row);
        ASSERT_FALSE(in.badEarlierTip);
        const int64_t withEarlier = c.oracle(c.s, in.pool, true);
        EXPECT_EQ(countPassing(in, kAllTips, nullptr, 2), withEarlier);
        // A search for the first few stops there (a step may find a few at once).
        const int64_t few = *countPassing(in, 3, nullptr, 1);
        EXPECT_GE(few, std::min<int64_t>(withEarlier, 3));
        EXPECT_LE(few, withEarlier);
    }
}

// Over the whole pool and long histories: random groups of ten numbers (45 tips each) against
// the filter, and the whole count the same on one thread and on two.
TEST(FilterAnalysis, EqualsTheFilterOnRandomTipsOfTheWholePool) {
    std::mt19937 g(7);
    for (int round = 0; round < 3; ++round) {
        Case c(g, 200 + int(g() % 3000));
        FilterInputs in = filterInputs(c.s, c.history, c.recent);
        setEarlierTips(in, c.table, c.row);
        for (int i = 0; i < 40; ++i) {
            FilterInputs some = in;
            some.pool = in.pool & randomNumbers(g, 10); // a number the pool does not hold is never drawn
            ASSERT_EQ(countPassing(some, kAllTips, nullptr, 1), c.oracle(c.s, some.pool, true))
                << "round " << round << " group " << i;
        }
        // The whole pool on two threads is the same as on one.
        in.earlierTips.clear();
        const auto one = countTips(in, nullptr, 1), two = countTips(in, nullptr, 2);
        ASSERT_TRUE(one && two);
        EXPECT_EQ(one->pass, two->pass);
        EXPECT_EQ(one->fails, two->fails);
        EXPECT_EQ(one->onlyFails, two->onlyFails);
        EXPECT_EQ(countPassing(in, kAllTips, nullptr, 2), one->pass);
    }
}

// Marked sets from the lowest to the highest numbers, for every k of each history test alone:
// the count's tables keep the numbers a set forbids relative to its own numbers, and these sets
// reach the far ends of those tables.
TEST(FilterAnalysis, SetsSpanningAllNumbersForEveryK) {
    std::mt19937 g(11);
    struct Row {
        int recent, all; // DreioderVier, Fuenferodersechser (8 and 9 switch them off)
    };
    for (const Row r : {Row{2, 9}, Row{3, 9}, Row{4, 9}, Row{5, 9}, Row{6, 9}, Row{7, 9}, Row{8, 3},
                        Row{8, 4}, Row{8, 5}, Row{8, 6}, Row{8, 7}, Row{8, 8}}) {
        SCOPED_TRACE(testing::Message() << "recent " << r.recent << ", all " << r.all);
        Case c(g, 30,
               {{1, 2, 3, 4, 34, 35, 36, 37}, {1, 2, 5, 6, 7, 35, 36, 37}, {1, 3, 4, 7, 8, 33, 36, 37}});
        c.s = everythingOff(c.s);
        c.s.DreioderVier = r.recent;
        c.s.DreioderVierWochen = 104;
        c.s.Fuenferodersechser = r.all;
        c.s.chartStart = c.records.front().Ziehungsdatum - 1;
        c.s.drawDay = c.records.back().Ziehungsdatum;
        FilterInputs in = filterInputs(c.s, c.history, c.recent);
        in.pool = bitsOf({1, 2, 3, 4, 5, 6, 7, 8, 33, 34, 35, 36, 37});

        const auto counts = countTips(in, nullptr, 1);
        ASSERT_TRUE(counts);
        const int64_t pass = c.oracle(c.s, in.pool, false);
        EXPECT_EQ(counts->pass, pass);
        const int t = r.all < 9 ? kAllDrawsTest : kRecentTest;
        EXPECT_EQ(counts->fails[size_t(t)], counts->drawable - pass);
        EXPECT_EQ(countPassing(in, kAllTips, nullptr, 1), pass);
    }
}

TEST(FilterAnalysis, EveryTipWithTheTestsOffAndNothingWhenCancelled) {
    RunSettings s = everythingOff(RunSettings{});
    FilterInputs in;
    in.settings = s;
    in.pool = (uint64_t(1) << 38) - 2;
    const auto all = countTips(in);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->drawable, kAllTips);
    EXPECT_EQ(all->pass, kAllTips);
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(countTips(in, &cancel));
    EXPECT_FALSE(countPassing(in, kAllTips, &cancel));
}
