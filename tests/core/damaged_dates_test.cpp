// A record whose date is no day (NaN, infinity, far outside the calendar) is a damaged record:
// every reader of the history passes over it in the same way.
#include "TestUtil.h"
#include "app/Dates.h"
#include "charts/Analyses.h"
#include "draws/DrawImport.h"
#include "draws/HistoryFile.h"
#include "engine/BackTest.h"
#include "engine/DrawHistory.h"
#include "engine/Statistics.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kw;

namespace {

struct Damaged {
    const char* name;
    double date;
};

void PrintTo(const Damaged& d, std::ostream* os) {
    *os << d.name;
}

const Damaged kDamaged[] = {
    {"nan", std::numeric_limits<double>::quiet_NaN()},
    {"negativeNan", -std::numeric_limits<double>::quiet_NaN()},
    {"infinity", std::numeric_limits<double>::infinity()},
    {"minusInfinity", -std::numeric_limits<double>::infinity()},
    {"huge", 1e300},
    {"hugeNegative", -1e300},
    {"afterTheYear9999", 2958466.0},
    {"beforeTheYear1", -693594.0},
    {"farBack", -1e6},
    {"largestDouble", std::numeric_limits<double>::max()},
};

class DamagedDate : public ::testing::TestWithParam<Damaged> {};

TEST_P(DamagedDate, HasNoCalendarDateAndIsInNoWindow) {
    const double d = GetParam().date;
    EXPECT_FALSE(isRecordDay(d));
    EXPECT_FALSE(dateFromDay(d).isValid()); // and no undefined conversion on the way
    const double lowest = -std::numeric_limits<double>::infinity();
    const double highest = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(inWindowStartExcluded(d, lowest, highest));
    EXPECT_FALSE(inWindowStartIncluded(d, lowest, highest));
}

// The damaged record sits between two good ones, and last, where the update looks.
TEST_P(DamagedDate, EveryReaderPassesOverTheRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    const auto good1 = kwtest::draw(42223, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const auto good2 = kwtest::draw(42225, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    auto bad = kwtest::draw(GetParam().date, {30, 31, 32, 33, 34, 35, 36, 37, 1, 2});
    kwtest::writeHistory(path, {good1, bad, good2, bad});

    HistoryFile::Appender app(path);
    EXPECT_EQ(app.lastDay(), 42225.0);
    app.close();

    DrawHistory history(path);
    history.refresh();
    const auto& records = history.records();
    const double start = kFirstCalendarDay - 1, end = kLastCalendarDay;
    EXPECT_EQ(distribution(records, start, end).draws, 2);
    EXPECT_EQ(distribution(records, start, end).value[37], 0);
    EXPECT_EQ(overdue(records, start, end).draws, 2);
    EXPECT_EQ(crossSums(records, start, end).draws, 2);
    EXPECT_EQ(pairCounts(records, start, end).draws, 2);

    // The recent draws as the run, the back-test and the filter count see them: as the lookup.
    // 08.08. has no draw, so the step back finds the draw of 09.08. again, never a damaged one.
    const RecentDraws seen = recentDrawsAsTheRunSees(records, 42226);
    EXPECT_EQ(seen[0][0], 2);
    EXPECT_EQ(seen[1][0], 2);
    EXPECT_EQ(seen[2][0], 2);

    // An import between the good records: the damaged ones stay behind the record before them.
    ImportedDraw d;
    d.date = QDate(2015, 8, 8);
    d.numbers = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const MergeResult merged = mergeIntoHistory(path, {d});
    ASSERT_TRUE(merged.ok) << merged.refusal.toStdString();
    EXPECT_EQ(merged.newest, 42225.0);
    const auto after = HistoryFile::readAll(path);
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(after[0].Ziehungsdatum, 42223.0);
    EXPECT_FALSE(isRecordDay(after[1].Ziehungsdatum));
    EXPECT_EQ(after[2].Ziehungsdatum, 42224.0);
    EXPECT_EQ(after[3].Ziehungsdatum, 42225.0);
    EXPECT_FALSE(isRecordDay(after[4].Ziehungsdatum));
}

INSTANTIATE_TEST_SUITE_P(History, DamagedDate, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordDay, TheCalendarsEndsAreDays) {
    EXPECT_TRUE(isRecordDay(kFirstCalendarDay));
    EXPECT_TRUE(isRecordDay(kLastCalendarDay));
    EXPECT_EQ(dateFromDay(kFirstCalendarDay), QDate(1, 1, 1));
    EXPECT_EQ(dateFromDay(kLastCalendarDay), QDate(9999, 12, 31));
    EXPECT_EQ(dayFromDate(QDate(9999, 12, 31)), kLastCalendarDay);
}

// A history of damaged records only has no last day: the update keeps the picker's date.
TEST(RecordDay, AHistoryOfDamagedRecordsHasNoLastDay) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    kwtest::writeHistory(path, {kwtest::draw(std::nan(""), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})});
    HistoryFile::Appender app(path);
    EXPECT_EQ(app.lastDay(), 0.0);
}

} // namespace
