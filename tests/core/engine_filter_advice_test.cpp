// The words that say why no tip can pass, and the change they propose, checked with the count itself.
#include "TestUtil.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "engine/FilterAdvice.h"
#include "server/DrawData.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kw;

namespace {

// The demo server's history, the design settings, the last draw on display.
struct DemoHistory : testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    std::vector<TZiehung> records;
    DrawHistory history{path};
    RunSettings s;
    RecentDraws recent{};

    void SetUp() override {
        QFile file(QStringLiteral(KW_SOURCE_DIR "/server/demo-draws-SYNTHETIC.txt"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        while (!file.atEnd()) {
            const QString line = QString::fromLatin1(file.readLine()).trimmed();
            if (srv::isCommentLine(line))
                continue;
            QString error;
            const auto d = srv::parseDataLine(line, &error);
            ASSERT_TRUE(d) << error.toStdString();
            TZiehung z;
            z.Ziehungsdatum = dayFromDate(d->date);
            for (size_t k = 0; k < 8; ++k)
                z.Zahlen[k] = uint8_t(d->numbers[k]);
            z.Zahlen[8] = uint8_t(d->extra[0]);
            z.Zahlen[9] = uint8_t(d->extra[1]);
            records.push_back(z);
        }
        kwtest::writeHistory(path, records);
        history.refresh();
        s.drawDay = records.back().Ziehungsdatum;
        for (size_t d = 0; d < 3; ++d)
            std::copy(records[records.size() - 1 - d].Zahlen.begin(),
                      records[records.size() - 1 - d].Zahlen.begin() + 8, recent[d].begin());
    }

    int64_t passing(const RunSettings& t) { return *countPassing(filterInputs(t, history, recent), 1); }
};

} // namespace

TEST_F(DemoHistory, AllDrawsTestBlocksAndTheProposedChangesLetTipsThrough) {
    const FilterInputs in = filterInputs(s, history, recent);
    const auto counts = countTips(in);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->pass, 0);
    EXPECT_GT(counts->onlyFails[kAllDrawsTest], 0);
    EXPECT_EQ(countText(*counts), QStringLiteral("0 of 38,608,020 tips pass your filters (0.0 %)"));

    const QString text = refusalText(in, *counts, history);
    const QRegularExpression shape(QStringLiteral(
        "^No tip can pass: 'Do not have an X in all previous draws' = 5 rejects all tips over "
        "the ([0-9,]+) draws since 07\\.08\\.2015\\. Raise it to 6 or move the chart start date "
        "to ([0-9.]+)\\.$"));
    const auto m = shape.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_EQ(m.captured(1), formatCount(qint64(in.allWindow.size())));

    RunSettings six = s;
    six.Fuenferodersechser = 6;
    EXPECT_GT(passing(six), 0);
    // The proposed start date is the earliest that works: the draw before it still blocks.
    const double start = dayFromDate(*parseDate(m.captured(2)));
    RunSettings later = s, earlier = s;
    later.chartStart = start;
    earlier.chartStart = start - 1;
    EXPECT_GT(passing(later), 0);
    EXPECT_EQ(passing(earlier), 0);
}

TEST_F(DemoHistory, ConsistencyWithTheTipsAboveBlocksARow) {
    RunSettings t = s;
    t.Fuenferodersechser = 9; // the history lets everything through
    t.DreioderVier = 8;
    t.MinUeber = 0;
    t.MaxUeber = 0;
    t.UeLetzte = t.Uevorletzte = t.UeVorVorletzte = 6;
    FilterInputs in = filterInputs(t, history, recent);
    // Five tips that hold every number: no new tip can keep clear of all of them.
    TipTable table;
    const int tips[5][8] = {{1, 2, 3, 4, 5, 6, 7, 8},
                            {9, 10, 11, 12, 13, 14, 15, 16},
                            {17, 18, 19, 20, 21, 22, 23, 24},
                            {25, 26, 27, 28, 29, 30, 31, 32},
                            {30, 31, 32, 33, 34, 35, 36, 37}};
    for (int q = 0; q < 5; ++q)
        for (int p = 1; p <= 8; ++p)
            table.Tippreihen[p][q] = QString::number(tips[q][p - 1]);
    setEarlierTips(in, table, 5);
    const auto counts = countTips(in);
    ASSERT_TRUE(counts && counts->pass > 0);
    EXPECT_EQ(countPassing(in, 1), 0);
    // At most one number from each tip gives at most five numbers; two from each is enough.
    EXPECT_EQ(
        refusalText(in, *counts, history, 5),
        QStringLiteral("No tip can pass for tip 6: 'Minimal Consistency with other tips' = 0 and 'Maximum "
                       "consistency with other tips' = 0 leave no tip that suits the 5 tips above it. "
                       "Raise the second to 2."));
}

TEST(FilterCountText, CommasBetweenThousandsAndTwoFiguresForFewTips) {
    const std::pair<int64_t, const char*> cases[] = {
        {2431776, "2,431,776 of 38,608,020 tips pass your filters (6.3 %)"},
        {10846, "10,846 of 38,608,020 tips pass your filters (0.028 %)"},
        {kAllTips, "38,608,020 of 38,608,020 tips pass your filters (100.0 %)"},
    };
    for (const auto& [pass, text] : cases) {
        FilterCounts c;
        c.pass = pass;
        EXPECT_EQ(countText(c), QString::fromUtf8(text));
    }
}

// Calculate finds the blocking tests by searching with each switched off; the words must be those
// the full count gives.
TEST_F(DemoHistory, CalculateSaysWhatTheFullCountSays) {
    RunSettings pairEven = s;
    pairEven.Fuenferodersechser = 9;
    pairEven.DreioderVier = 8;
    pairEven.PaarMuss = true;
    pairEven.gerade = 8; // eight even numbers hold no pair of consecutive ones
    for (const RunSettings& t : {s, pairEven}) {
        TipTable table;
        const auto said = noTipCanPass(t, history, recent, table, 0);
        ASSERT_TRUE(said);
        const FilterInputs in = filterInputs(t, history, recent);
        EXPECT_EQ(*said, refusalText(in, *countTips(in), history));
    }
    TipTable table;
    EXPECT_EQ(
        noTipCanPass(pairEven, history, recent, table, 0).value_or(QString()),
        QStringLiteral("No tip can pass: 'force a couple per Tip' = on rejects all tips. Switch it off. "
                       "'Minimum number of straight numbers per Tip' = 8 rejects all tips. Lower it to 7."));
}
