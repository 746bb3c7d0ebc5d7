// The back-test: no look-ahead, reproducible, honest about draws without tips, exact p-value.
#include "TestUtil.h"

#include "draws/HistoryFile.h"
#include "engine/BackTest.h"
#include "engine/Bits.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kw;

namespace {

BackTestRecipe smallRecipe() {
    BackTestRecipe r;
    r.settings.MaxLauf = 10; // at most 10,000 candidates per draw
    r.settings.chartStart = kFirstSeedDay;
    r.tips = 4;
    r.luckyNumber = QStringLiteral("4711");
    r.range = 25;
    return r;
}

BackTestDraw drawWith(int tips, int settingsWins, int randomWins) {
    BackTestDraw d;
    d.settingsTips.assign(size_t(tips), 0);
    d.randomTips.assign(size_t(tips), 0);
    d.settings.wins = settingsWins;
    d.random.wins = randomWins;
    return d;
}

} // namespace

TEST(BackTest, SameRecipeSameResultsAndNoLookAhead) {
    const auto history = kwtest::dailyDraws(200, 11);
    const BackTestRecipe recipe = smallRecipe();
    const BackTestResult a = runBackTest(history, recipe);
    ASSERT_EQ(a.draws.size(), 25u);
    EXPECT_FALSE(a.cancelled);
    EXPECT_EQ(a.draws.front().index, 175);
    int tips = 0;
    for (const BackTestDraw& d : a.draws) {
        tips += int(d.settingsTips.size());
        EXPECT_EQ(d.randomTips.size(), d.settingsTips.size());
        EXPECT_EQ(d.settings.tips, int(d.settingsTips.size()));
        for (uint64_t t : d.settingsTips)
            EXPECT_EQ(bitCount(t), 8);
    }
    EXPECT_GT(tips, 0);
    EXPECT_EQ(a.settings.tips, tips);
    EXPECT_EQ(a.random.tips, tips);

    const BackTestResult b = runBackTest(history, recipe);
    EXPECT_EQ(backTestCsv(recipe, a, 200), backTestCsv(recipe, b, 200));

    // Change every draw from record 190 on: the draws before it get the same tips, and record
    // 190 itself (its tips come from the records before it) as well; only the check differs.
    auto changed = history;
    for (size_t i = 190; i < changed.size(); ++i)
        changed[i].Zahlen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const BackTestResult c = runBackTest(changed, recipe);
    ASSERT_EQ(c.draws.size(), a.draws.size());
    for (size_t k = 0; k < a.draws.size(); ++k) {
        const int index = a.draws[k].index;
        if (index <= 190) {
            EXPECT_EQ(c.draws[k].settingsTips, a.draws[k].settingsTips) << index;
            EXPECT_EQ(c.draws[k].randomTips, a.draws[k].randomTips) << index;
        }
        if (index < 190) {
            EXPECT_EQ(c.draws[k].settings.count, a.draws[k].settings.count) << index;
        }
    }

    // another lucky number, other tips; the random tips stay as long as the counts do
    BackTestRecipe other = recipe;
    other.luckyNumber = QStringLiteral("4712");
    EXPECT_NE(runBackTest(history, other).draws.front().settingsTips, a.draws.front().settingsTips);
}

TEST(BackTest, DrawsWithoutTipsAreCountedAndNamed) {
    const auto history = kwtest::dailyDraws(60, 5);
    struct Case {
        const char* name;
        void (*change)(RunSettings&);
    };
    const Case cases[] = {
        {"filters nothing passes", [](RunSettings& s) { s.QuerMin = 200, s.QuerMax = 100; }},
        {"pool without numbers",
         [](RunSettings& s) { s.BevorzugteZahlen = true, s.BesOft = s.BesSelten = s.Ueberfaellig = 0; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        BackTestRecipe r = smallRecipe();
        r.range = 3;
        k.change(r.settings);
        const BackTestResult res = runBackTest(history, r);
        ASSERT_EQ(res.draws.size(), 3u);
        EXPECT_EQ(res.drawsWithoutTip, 3);
        for (const BackTestDraw& d : res.draws) {
            EXPECT_TRUE(d.settingsTips.empty());
            EXPECT_TRUE(d.randomTips.empty());
            EXPECT_FALSE(d.problem.isEmpty());
        }
        EXPECT_DOUBLE_EQ(res.pValue, 1.0);
        // the reason stands in the draw's line, quoted as CSV quotes it
        EXPECT_TRUE(backTestCsv(r, res, 60).contains(QString(res.draws[0].problem).replace("\"", "\"\"")));
    }
}

TEST(BackTest, CancelAndProgress) {
    const auto history = kwtest::dailyDraws(100, 2);
    BackTestRecipe r = smallRecipe();
    r.range = 10;
    std::atomic<bool> cancel{false};
    std::vector<int> done;
    const BackTestResult res = runBackTest(history, r, &cancel, [&](int d, int total) {
        EXPECT_EQ(total, 10);
        done.push_back(d);
        if (d == 4)
            cancel = true;
    });
    EXPECT_TRUE(res.cancelled);
    EXPECT_EQ(res.draws.size(), 4u);
    EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 3, 4}));
    // a range longer than the history starts at its second record
    r.range = 1000;
    EXPECT_EQ(runBackTest(kwtest::dailyDraws(6, 2), r).draws.size(), 5u);
}

TEST(BackTest, RecentDrawsAsTheRunFindsThem) {
    using kwtest::draw;
    const double d = kFirstSeedDay;
    const std::vector<TZiehung> daily{draw(d, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                                      draw(d + 1, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
                                      draw(d + 2, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12})};
    const std::vector<TZiehung> weekly{draw(d, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                                       draw(d + 7, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11})};
    const DrawEight first{1, 2, 3, 4, 5, 6, 7, 8}, second{2, 3, 4, 5, 6, 7, 8, 9},
        third{3, 4, 5, 6, 7, 8, 9, 10};
    struct Case {
        const char* name;
        const std::vector<TZiehung>& records;
        double day;
        RecentDraws expected;
    };
    const Case cases[] = {
        {"daily: the three before", daily, d + 2, {third, second, first}},
        {"the day before has no draw: the same draw again", weekly, d + 7, {second, second, second}},
        {"a day without a draw shows the next one", weekly, d + 3, {second, second, second}},
        {"after the newest: the newest", daily, d + 9, {third, second, first}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(recentDrawsAsTheRunSees(k.records, k.day), k.expected) << k.name;
}

TEST(BackTest, ExactPValue) {
    struct Case {
        const char* name;
        std::vector<BackTestDraw> draws;
        double p;
    };
    const std::vector<Case> cases{
        {"no wins at all", {drawWith(5, 0, 0)}, 1.0},
        {"one win among two tips", {drawWith(1, 1, 0)}, 0.5},
        {"the random tip won", {drawWith(1, 0, 1)}, 1.0},
        // two draws of one tip each, the settings won both: 1/2 x 1/2
        {"two of two", {drawWith(1, 1, 0), drawWith(1, 1, 0)}, 0.25},
        // four tips each, two wins, both the settings': C(2,2) C(6,2) / C(8,4) = 15/70
        {"two wins of four", {drawWith(4, 2, 0)}, 15.0 / 70.0},
        // one each: P(S >= 1) = 1 - C(6,4)/C(8,4) = 1 - 15/70
        {"a win each", {drawWith(4, 1, 1)}, 55.0 / 70.0},
        {"draws without tips are left out", {drawWith(0, 0, 0), drawWith(1, 1, 0)}, 0.5},
    };
    for (const Case& k : cases)
        EXPECT_NEAR(settingsWinPValue(k.draws), k.p, 1e-12) << k.name;
}

TEST(BackTest, OutcomesAndHash) {
    Outcomes o;
    const TZiehung z = kwtest::draw(kFirstSeedDay, {3, 4, 7, 11, 15, 23, 27, 31, 36, 37});
    o.add(bitsOf({3, 4, 7, 11, 15, 23, 27, 31}), z); // eight hits, wins
    o.add(bitsOf({3, 4, 7, 11, 1, 2, 5, 36}), z);    // four and a supplementary number: wins
    o.add(bitsOf({3, 4, 7, 11, 1, 2, 5, 6}), z);     // four alone
    o.add(bitsOf({1, 2, 5, 6, 8, 9, 36, 37}), z);    // none, both supplementary numbers
    EXPECT_EQ(o.tips, 4);
    EXPECT_EQ(o.wins, 2);
    EXPECT_EQ(o.count[8][0], 1);
    EXPECT_EQ(o.count[4][1], 1);
    EXPECT_EQ(o.count[4][0], 1);
    EXPECT_EQ(o.count[0][2], 1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    EXPECT_TRUE(fileSha256(path).isEmpty());
    kwtest::writeHistory(path, {});
    // SHA-256 of no bytes
    EXPECT_EQ(fileSha256(path), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}
