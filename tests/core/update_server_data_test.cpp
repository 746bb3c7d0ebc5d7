#include "app/Dates.h"
#include "draws/DrawImport.h"
#include "draws/Ziehung.h"
#include "server/DrawData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace kw::srv;

namespace {

struct DataFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("draws.txt")); }
    void write(const QByteArray& text) const {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray read() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(DataFileTest, RepliesHoldEveryDrawOfTheDayInTheFormTheProgramReads) {
    write("# SYNTHETIC\n"
          "07.08.2015 30 4 19 5 12 10 8 9 6 29\n"
          "\n"
          "08.08.2015\t6 7 12 13 21 25 26 36  14 35\n"
          "08.08.2015 1 2 3 4 5 6 7 8 9 10\n");
    DrawStore store;
    QString error;
    ASSERT_TRUE(store.load(path(), &error)) << error.toStdString();
    EXPECT_EQ(store.drawCount(), 3);
    EXPECT_EQ(store.replyFor(QDate(2015, 8, 7)), QByteArray("07.08.2015,30,4,19,5,12,10,8,9,6,29;\r\n"));
    EXPECT_EQ(store.replyFor(QDate(2015, 8, 8)),
              QByteArray("08.08.2015,6,7,12,13,21,25,26,36,14,35;\r\n08.08.2015,1,2,3,4,5,6,7,8,9,10;\r\n"));
    EXPECT_TRUE(store.replyFor(QDate(2015, 8, 9)).isEmpty());
    EXPECT_FALSE(store.hasDraw(QDate(2015, 8, 9)));
    EXPECT_EQ(store.lastDay(), QDate(2015, 8, 8));
}

struct BadLine {
    const char* name;
    const char* line;
    const char* reason; // a part of the message
};

class BadDataLineTest : public DataFileTest, public ::testing::WithParamInterface<BadLine> {};

TEST_P(BadDataLineTest, StopsTheLoadNamingTheLineAndKeepsWhatWasLoaded) {
    write("07.08.2015 4 5 8 9 10 12 19 30 6 29\n");
    DrawStore store;
    QString error;
    ASSERT_TRUE(store.load(path(), &error));
    write(QByteArray("# header\n07.08.2015 4 5 8 9 10 12 19 30 6 29\n") + GetParam().line + "\n");
    EXPECT_FALSE(store.load(path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 3"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLatin1(GetParam().reason))) << error.toStdString();
    EXPECT_EQ(store.drawCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadDataLineTest,
    ::testing::Values(
        BadLine{"nineNumbers", "08.08.2015 1 2 3 4 5 6 7 8 9", "10 fields"},
        BadLine{"noDay", "31.02.2016 1 2 3 4 5 6 7 8 9 10", "not a day"},
        BadLine{"otherDateForm", "2016-02-01 1 2 3 4 5 6 7 8 9 10", "not a day"},
        BadLine{"tooHigh", "08.08.2015 1 2 3 4 5 6 7 38 9 10", "\"38\" is not a number from 1 to 37"},
        BadLine{"zero", "08.08.2015 0 2 3 4 5 6 7 8 9 10", "\"0\" is not a number"},
        BadLine{"letters", "08.08.2015 1 2 x 4 5 6 7 8 9 10", "\"x\""},
        BadLine{"drawnTwice", "08.08.2015 1 2 3 4 5 6 7 7 9 10", "drawn twice"},
        BadLine{"supplementaryDrawn", "08.08.2015 1 2 3 4 5 6 7 8 3 10", "supplementary number 3"},
        BadLine{"supplementaryTwice", "08.08.2015 1 2 3 4 5 6 7 8 9 9", "supplementary number 9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFileTest, AddAppendsOneCheckedDrawAndRefusesATakenDay) {
    write("# demo\n07.08.2015 4 5 8 9 10 12 19 30 6 29"); // no final line break
    QString error;
    const auto draw = parseDataLine(u"08.08.2015 6 7 12 13 21 25 26 36 14 35", &error);
    ASSERT_TRUE(draw);
    ASSERT_TRUE(appendDraw(path(), *draw, &error)) << error.toStdString();
    EXPECT_EQ(
        read(),
        QByteArray("# demo\n07.08.2015 4 5 8 9 10 12 19 30 6 29\n08.08.2015 6 7 12 13 21 25 26 36 14 35\n"));

    EXPECT_FALSE(appendDraw(path(), *draw, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("already holds a draw for 08.08.2015"))) << error.toStdString();

    // A file that is already bad is not added to: the error names its line, the file stays.
    write("07.08.2015 4 5 8 9 10 12 19 30 6 29\n08.08.2015 1 1 1\n");
    auto later = *draw;
    later.date = QDate(2015, 8, 9);
    EXPECT_FALSE(appendDraw(path(), later, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 2"))) << error.toStdString();
    EXPECT_EQ(read(), QByteArray("07.08.2015 4 5 8 9 10 12 19 30 6 29\n08.08.2015 1 1 1\n"));
}

TEST_F(DataFileTest, AddStartsAMissingFile) {
    QString error;
    const auto draw = parseDataLine(u"09.08.2015 3 4 7 11 15 23 27 31 36 37", &error);
    ASSERT_TRUE(draw);
    ASSERT_TRUE(appendDraw(path(), *draw, &error)) << error.toStdString();
    EXPECT_EQ(read(), QByteArray("09.08.2015 3 4 7 11 15 23 27 31 36 37\n"));
}

// Parallel adds must neither lose a draw nor write a day twice.
TEST_F(DataFileTest, ParallelAddsKeepEveryDrawAndEachDayOnce) {
    write("# parallel\n");
    auto drawFor = [](int day) {
        auto d = parseDataLine(
            QStringLiteral("%1.09.2015 1 2 3 4 5 6 7 8 9 10").arg(day, 2, 10, QLatin1Char('0')), nullptr);
        return *d;
    };
    constexpr int kAdds = 20;
    std::atomic<int> added{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kAdds; ++i)
        threads.emplace_back([&, i] {
            if (appendDraw(path(), drawFor(1 + i), nullptr))
                ++added;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(added, kAdds);
    DrawStore store;
    QString error;
    ASSERT_TRUE(store.load(path(), &error)) << error.toStdString();
    EXPECT_EQ(store.drawCount(), kAdds);

    threads.clear();
    added = 0;
    for (int i = 0; i < kAdds; ++i)
        threads.emplace_back([&] {
            if (appendDraw(path(), drawFor(30), nullptr))
                ++added;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(added, 1);
    ASSERT_TRUE(store.load(path(), &error));
    EXPECT_EQ(store.drawCount(), kAdds + 1);
    EXPECT_EQ(read().count("30.09.2015"), 1);
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".lock")));
}

TEST_F(DataFileTest, ImportAddsNewDaysPassesOverKnownOnesAndRefusesOtherNumbers) {
    kw::Clock::setToday(QDate(2026, 12, 10));
    write("# demo\n07.08.2015 4 5 8 9 10 12 19 30 6 29\n08.08.2015 6 7 12 13 21 25 26 36 14 35\n");
    const QByteArray before = read();
    const auto results = kw::parsePublishedResults("Date;N1;N2;N3;N4;N5;N6;N7;N8;S1;S2\n"
                                                   "2015-08-10;1;2;3;4;5;6;7;8;9;10\n"
                                                   "2015-08-07;30;4;19;5;12;10;8;9;29;6\n"
                                                   "2015-08-09;3;4;7;11;15;23;27;31;36;37\n");
    ASSERT_FALSE(results.error);
    DataImport r;
    QString error;
    ASSERT_TRUE(importDraws(path(), results.draws, &r, &error)) << error.toStdString();
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.alreadyThere, 1);
    EXPECT_EQ(r.newest, QDate(2015, 8, 10));
    EXPECT_EQ(read(), before + "09.08.2015 3 4 7 11 15 23 27 31 36 37\n10.08.2015 1 2 3 4 5 6 7 8 9 10\n");
    DrawStore store;
    ASSERT_TRUE(store.load(path(), &error));
    EXPECT_EQ(store.drawCount(), 4);

    const QByteArray now = read();
    const auto other = kw::parsePublishedResults("11.08.2015 1 2 3 4 5 6 7 8 9 10\n"
                                                 "08.08.2015 6 7 12 13 21 25 26 36 14 34\n");
    ASSERT_FALSE(other.error);
    EXPECT_FALSE(importDraws(path(), other.draws, &r, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 2"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("08.08.2015 6 7 12 13 21 25 26 36 14 35")));
    EXPECT_EQ(read(), now);
    kw::Clock::setToday(QDate());
}

TEST(DemoData, IsLabelledSyntheticStartsWithTheSeedDrawsAndHasADrawEveryDay) {
    const QString path = QStringLiteral(KW_SOURCE_DIR "/server/demo-draws-SYNTHETIC.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_TRUE(file.readLine().contains("SYNTHETIC"));
    DrawStore store;
    QString error;
    ASSERT_TRUE(store.load(path, &error)) << error.toStdString();
    EXPECT_EQ(store.firstDay(), QDate(2015, 8, 7));
    EXPECT_EQ(store.drawCount(), store.firstDay().daysTo(store.lastDay()) + 1);
    const auto seeds = kw::seedDraws();
    for (int i = 0; i < 3; ++i) {
        const auto& seed = seeds[size_t(i)];
        QByteArray line = store.firstDay().addDays(i).toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
        for (uint8_t n : seed.Zahlen)
            line += ',' + QByteArray::number(n);
        EXPECT_EQ(store.replyFor(store.firstDay().addDays(i)), line + ";\r\n");
    }
}

} // namespace
