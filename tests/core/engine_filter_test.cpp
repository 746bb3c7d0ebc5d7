// The twelve candidate tests, on the fast path for generated candidates and on the pair-by-pair
// path for kept tips: both must give the same verdict.
#include "TestUtil.h"

#include "app/Numbers.h"
#include "draws/HistoryFile.h"
#include "engine/CandidateFilter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kw;

namespace {

using Tip = std::array<int32_t, 8>;

// Every test that can be switched off is off; the recent draws lie outside every candidate below.
RunSettings allOff() {
    RunSettings s;
    s.MinUeber = 0;
    s.MaxUeber = 8;
    s.PaarMuss = false;
    s.QuerMin = 0;
    s.QuerMax = 1000;
    s.UeLetzte = s.Uevorletzte = s.UeVorVorletzte = 6;
    s.gerade = s.Ungerade = s.Primzahlen = 0;
    s.DreioderVier = 8;
    s.Fuenferodersechser = 9;
    s.chartStart = 1000;
    s.drawDay = 1100;
    return s;
}

struct Judge {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    DrawHistory history{path};
    TipTable table;
    RecentDraws recent{};
    CandidateFilter filter;

    explicit Judge(const std::vector<TZiehung>& records = {}) {
        kwtest::writeHistory(path, records);
        history.refresh();
    }
    void earlier(std::initializer_list<Tip> tips) {
        int q = 0;
        for (const Tip& t : tips) {
            for (int p = 1; p <= 8; ++p)
                table.Tippreihen[p][q] = QString::number(t[size_t(p - 1)]);
            ++q;
        }
    }
    /** The verdict of both paths; they must agree. */
    bool accepts(const RunSettings& s, const Tip& c, int row = 0, FilterTrace* traceOut = nullptr) {
        filter.prepare(s, history, recent);
        filter.setEarlierTips(table, row);
        FilterTrace fast, any;
        int sum = 0;
        for (int v : c)
            sum += v;
        const bool a = filter.accepts(maskOf(c), sum, fast);
        const bool b = filter.acceptsAny(c, any);
        EXPECT_EQ(a, b) << "fast and pair-by-pair paths disagree";
        EXPECT_EQ(fast.reachedAllDraws, any.reachedAllDraws);
        if (traceOut)
            *traceOut = fast;
        return a;
    }
};

} // namespace

TEST(EngineFilter, ConsistencyWithEarlierTips) {
    Judge j;
    j.earlier({{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}});
    RunSettings s = allOff();
    s.MinUeber = 1;
    s.MaxUeber = 3;
    EXPECT_TRUE(j.accepts(s, {8, 9, 20, 21, 22, 23, 24, 25}, 2));
    EXPECT_FALSE(j.accepts(s, {1, 2, 20, 21, 22, 23, 24, 25}, 2));  // nothing shared with the second
    EXPECT_TRUE(j.accepts(s, {1, 2, 20, 21, 22, 23, 24, 25}, 1));   // only the first tip is earlier
    EXPECT_TRUE(j.accepts(s, {30, 31, 32, 33, 34, 35, 36, 37}, 0)); // the first tip has nothing to match
    s.MinUeber = 0;
    s.MaxUeber = 1;
    EXPECT_FALSE(j.accepts(s, {1, 2, 20, 21, 22, 23, 24, 25}, 2)); // two shared with the first

    // An empty first cell skips the row; a number held twice by an earlier tip counts twice.
    Judge k;
    k.earlier({{5, 5, 6, 7, 8, 9, 10, 11}});
    k.table.Tippreihen[1][1] = QString(); // row 1: empty
    RunSettings t = allOff();
    t.MaxUeber = 1;
    EXPECT_FALSE(k.accepts(t, {5, 20, 21, 22, 23, 24, 25, 26}, 2));
    EXPECT_TRUE(k.accepts(t, {6, 20, 21, 22, 23, 24, 25, 26}, 2));
}

TEST(EngineFilter, CellThatIsNoNumberFailsOnlyWhenTheTestRuns) {
    Judge j;
    j.earlier({{1, 2, 3, 4, 5, 6, 7, 8}});
    j.table.Tippreihen[4][0] = QStringLiteral("x");
    const Tip c{20, 21, 22, 23, 24, 25, 26, 27};
    RunSettings s = allOff(); // MinUeber 0 and MaxUeber 8: the table is not read
    EXPECT_TRUE(j.accepts(s, c, 1));
    s.MaxUeber = 7;
    j.filter.prepare(s, j.history, j.recent);
    j.filter.setEarlierTips(j.table, 1);
    FilterTrace t;
    EXPECT_THROW(j.filter.accepts(maskOf(c), 188, t), ConversionError);
    EXPECT_THROW(j.filter.acceptsAny(c, t), ConversionError);
}

TEST(EngineFilter, CandidateShapeTests) {
    struct Case {
        const char* what;
        void (*set)(RunSettings&);
        Tip c;
        bool accepted;
    };
    const Case cases[] = {
        {"pair, no run", [](RunSettings& s) { s.PaarMuss = true; }, {5, 6, 12, 18, 22, 28, 31, 36}, true},
        {"no pair", [](RunSettings& s) { s.PaarMuss = true; }, {5, 7, 12, 18, 22, 28, 31, 36}, false},
        {"run at the start", [](RunSettings& s) { s.PaarMuss = true; }, {1, 2, 3, 10, 20, 25, 30, 35}, false},
        {"run at the end",
         [](RunSettings& s) { s.PaarMuss = true; },
         {10, 20, 25, 30, 33, 34, 35, 37},
         false},
        {"run without the option", [](RunSettings&) {}, {1, 2, 3, 10, 20, 25, 30, 35}, true},
        {"sum = QuerMin", [](RunSettings& s) { s.QuerMin = 36; }, {1, 2, 3, 4, 5, 6, 7, 8}, true},
        {"sum < QuerMin", [](RunSettings& s) { s.QuerMin = 37; }, {1, 2, 3, 4, 5, 6, 7, 8}, false},
        {"sum = QuerMax", [](RunSettings& s) { s.QuerMax = 36; }, {1, 2, 3, 4, 5, 6, 7, 8}, true},
        {"sum > QuerMax", [](RunSettings& s) { s.QuerMax = 35; }, {1, 2, 3, 4, 5, 6, 7, 8}, false},
        {"QuerMin above QuerMax",
         [](RunSettings& s) {
             s.QuerMin = 150;
             s.QuerMax = 140;
         },
         {10, 12, 14, 16, 18, 20, 22, 33},
         false},
        {"two even of three", [](RunSettings& s) { s.gerade = 3; }, {1, 2, 4, 7, 9, 11, 13, 15}, false},
        {"two even of two", [](RunSettings& s) { s.gerade = 2; }, {1, 2, 4, 7, 9, 11, 13, 15}, true},
        {"six odd of seven", [](RunSettings& s) { s.Ungerade = 7; }, {1, 2, 4, 7, 9, 11, 13, 15}, false},
        {"two primes at the end",
         [](RunSettings& s) { s.Primzahlen = 2; },
         {4, 6, 8, 9, 10, 12, 31, 37},
         true},
        {"two primes of three",
         [](RunSettings& s) { s.Primzahlen = 3; },
         {4, 6, 8, 9, 10, 12, 31, 37},
         false},
    };
    Judge j;
    for (const Case& c : cases) {
        RunSettings s = allOff();
        c.set(s);
        EXPECT_EQ(j.accepts(s, c.c), c.accepted) << c.what;
    }
}

TEST(EngineFilter, MatchesWithTheLastThreeDraws) {
    Judge j;
    j.recent = {DrawEight{3, 4, 7, 11, 15, 23, 27, 31}, DrawEight{1, 2, 5, 6, 8, 9, 10, 12},
                DrawEight{13, 14, 16, 17, 18, 19, 20, 21}};
    RunSettings s = allOff();
    s.UeLetzte = 0;
    EXPECT_FALSE(j.accepts(s, {3, 24, 25, 26, 28, 29, 30, 32}));
    EXPECT_TRUE(j.accepts(s, {22, 24, 25, 26, 28, 29, 36, 37})); // 36, 37: supplementary numbers only
    s.Uevorletzte = 1;
    EXPECT_TRUE(j.accepts(s, {1, 24, 25, 26, 28, 29, 30, 32}));
    EXPECT_FALSE(j.accepts(s, {1, 2, 25, 26, 28, 29, 30, 32}));
    s.UeVorVorletzte = 2;
    EXPECT_TRUE(j.accepts(s, {13, 14, 25, 26, 28, 29, 30, 32}));
    EXPECT_FALSE(j.accepts(s, {13, 14, 16, 26, 28, 29, 30, 32}));
    // A record holding a number twice counts it twice.
    j.recent[0] = DrawEight{22, 22, 0, 40, 0, 0, 0, 0};
    s.UeLetzte = 1;
    EXPECT_FALSE(j.accepts(s, {22, 24, 25, 26, 28, 29, 30, 32}));
}

TEST(EngineFilter, RecentDrawsWindow) {
    const double end = 45000;
    const std::vector<TZiehung> h{
        kwtest::draw(end - 70, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),          // just outside 20 x 3.5 days
        kwtest::draw(end - 69, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}), // just inside
        kwtest::draw(end - 18, {21, 22, 23, 24, 25, 26, 27, 28, 29, 30}),
        kwtest::draw(end - 17, {31, 32, 33, 34, 35, 36, 37, 30, 1, 2}),
        kwtest::draw(end, {5, 5, 5, 5, 0, 40, 200, 9, 1, 2}),          // the draw on display, damaged
        kwtest::draw(end + 1, {19, 20, 21, 22, 23, 24, 25, 26, 1, 2}), // after the draw on display
    };
    Judge j(h);
    RunSettings s = allOff();
    s.drawDay = end;
    s.DreioderVier = 4;
    s.DreioderVierWochen = 20;
    EXPECT_TRUE(j.accepts(s, {1, 2, 3, 4, 10, 20, 29, 30}));
    EXPECT_FALSE(j.accepts(s, {1, 2, 3, 11, 12, 13, 14, 30}));
    s.DreioderVierWochen = 5; // 17.5 days
    EXPECT_TRUE(j.accepts(s, {1, 2, 3, 6, 21, 22, 23, 24}));
    EXPECT_FALSE(j.accepts(s, {1, 2, 3, 6, 31, 32, 33, 34}));
    EXPECT_FALSE(j.accepts(s, {1, 2, 3, 4, 5, 6, 7, 8}));    // the draw on display holds 5 four times
    EXPECT_TRUE(j.accepts(s, {1, 2, 3, 4, 19, 20, 21, 22})); // the later draw is outside

    // Switched off: the history is not needed at all.
    Judge gone;
    QFile::remove(gone.path);
    gone.history.refresh();
    RunSettings off = allOff();
    EXPECT_TRUE(gone.accepts(off, {1, 2, 3, 4, 5, 6, 7, 8}));
    off.DreioderVier = 7;
    gone.filter.prepare(off, gone.history, gone.recent);
    gone.filter.setEarlierTips(gone.table, 0);
    FilterTrace t;
    EXPECT_THROW(gone.filter.accepts(maskOf({1, 2, 3, 4, 5, 6, 7, 8}), 36, t), FileError);
}

TEST(EngineFilter, AllDrawsSinceChartStart) {
    const std::vector<TZiehung> h{
        kwtest::draw(1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), // on the chart start date: outside
        kwtest::draw(1050, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}),
        kwtest::draw(1100, {21, 22, 23, 24, 25, 26, 27, 28, 29, 30}), // the draw on display: inside
    };
    Judge j(h);
    RunSettings s = allOff();
    s.Fuenferodersechser = 5;
    FilterTrace t;
    EXPECT_TRUE(j.accepts(s, {1, 2, 3, 4, 5, 6, 7, 8}, 0, &t));
    EXPECT_TRUE(t.reachedAllDraws);
    EXPECT_TRUE(j.accepts(s, {11, 12, 13, 14, 30, 31, 32, 33}));  // four of a draw, five of none
    EXPECT_FALSE(j.accepts(s, {21, 22, 23, 24, 25, 31, 32, 33})); // exactly five: rejected
    EXPECT_EQ(j.filter.bestSinceChartStart(maskOf({21, 22, 23, 24, 25, 31, 32, 33})), 5);
    s.Fuenferodersechser = 6;
    EXPECT_TRUE(j.accepts(s, {21, 22, 23, 24, 25, 31, 32, 33}));
    // A candidate stopped earlier never reaches the test.
    s.QuerMax = 10;
    EXPECT_FALSE(j.accepts(s, {21, 22, 23, 24, 25, 31, 32, 33}, 0, &t));
    EXPECT_FALSE(t.reachedAllDraws);
}

TEST(EngineFilter, KeptTipsWithOddNumbers) {
    // Kept tips are compared pair by pair: repeats count, numbers outside 1..37 still compare.
    Judge j({kwtest::draw(1100, {40, 40, 3, 4, 5, 6, 7, 8, 1, 2})});
    RunSettings s = allOff();
    s.DreioderVier = 3;
    FilterTrace t;
    j.filter.prepare(s, j.history, j.recent);
    j.filter.setEarlierTips(j.table, 0);
    EXPECT_TRUE(j.filter.acceptsAny({40, 20, 21, 22, 23, 24, 25, 26}, t)); // 40 is twice in the draw: two
    EXPECT_FALSE(j.filter.acceptsAny({40, 3, 21, 22, 23, 24, 25, 26}, t));
    EXPECT_TRUE(j.filter.acceptsAny({41, 3, 21, 22, 23, 24, 25, 26}, t));
    EXPECT_FALSE(j.filter.acceptsAny({3, 3, 3, 22, 23, 24, 25, 26}, t));
    // The prime test takes bytes: 259 is 3.
    s = allOff();
    s.Primzahlen = 1;
    j.filter.prepare(s, j.history, j.recent);
    EXPECT_TRUE(j.filter.acceptsAny({259, 4, 6, 8, 10, 12, 14, 16}, t));
    EXPECT_FALSE(j.filter.acceptsAny({4, 6, 8, 10, 12, 14, 16, 18}, t));
}
