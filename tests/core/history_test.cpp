#include "TestUtil.h"
#include "draws/HistoryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kw;

namespace {
struct HistoryTest : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("setforlife.dat")); }
    QByteArray bytes() const {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};
} // namespace

TEST_F(HistoryTest, SeedFileHoldsThreeRecordsAndRecordZeroBytes) {
    HistoryFile::createSeeded(path());
    const QByteArray b = bytes();
    ASSERT_EQ(b.size(), 72);
    EXPECT_EQ(b.left(24).toHex(' '),
              QByteArray("00 00 00 00 e0 9d e4 40 04 05 08 09 0a 0c 13 1e 06 1d 00 00 00 00 00 00"));
    const auto all = HistoryFile::readAll(path());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].Ziehungsdatum, 42224.0);
    EXPECT_EQ(all[2].Zahlen[8], 36);
    EXPECT_EQ(all[2].Zahlen[9], 37);
}

TEST_F(HistoryTest, StrayBytesAreIgnoredAndOverwrittenByTheNextAppend) {
    HistoryFile::createSeeded(path());
    {
        QFile f(path());
        f.open(QIODevice::Append);
        f.write("\x7f", 1); // 73 bytes
    }
    EXPECT_EQ(HistoryFile::readAll(path()).size(), 3u);
    HistoryFile::Appender app(path());
    EXPECT_EQ(app.last().Ziehungsdatum, 42225.0);
    app.append(kwtest::draw(42226, {1, 2, 3, 4, 5, 6, 7, 8, 37, 9}));
    app.close();
    EXPECT_EQ(bytes().size(), 96);
    const auto all = HistoryFile::readAll(path());
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].Zahlen[8], 37); // supplementary numbers keep their order
    EXPECT_EQ(all[3].Zahlen[9], 9);
}

TEST_F(HistoryTest, EmptyFileHasNoRecordsAndTheAppenderStartsFromDateZero) {
    QFile(path()).open(QIODevice::WriteOnly);
    EXPECT_TRUE(HistoryFile::readAll(path()).empty());
    HistoryFile::Appender app(path());
    EXPECT_EQ(app.last().Ziehungsdatum, 0.0);
}

TEST_F(HistoryTest, AppendedRecordsCarryTheReservedBytesOfTheLastRecord) {
    TZiehung z = kwtest::draw(42223, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    z.Reserviert = {1, 2, 3, 4, 5, 6};
    kwtest::writeHistory(path(), {z});
    HistoryFile::Appender app(path());
    app.append(kwtest::draw(42224, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    app.close();
    EXPECT_EQ(HistoryFile::readAll(path())[1].Reserviert, z.Reserviert);
}

TEST_F(HistoryTest, BlockScanVisitsExactlyOneThousandRecordsAndStopsEarlyOnRequest) {
    std::vector<TZiehung> records;
    for (int i = 0; i < 1000; ++i)
        records.push_back(kwtest::draw(42223 + i, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    kwtest::writeHistory(path(), records);
    int seen = 0;
    HistoryFile::scan(path(), [&](const TZiehung&) { return ++seen > 0; });
    EXPECT_EQ(seen, 1000);
    seen = 0;
    HistoryFile::scan(path(), [&](const TZiehung& z) {
        ++seen;
        return z.Ziehungsdatum < 42223 + 1500;
    });
    EXPECT_EQ(seen, 1000);
    seen = 0;
    HistoryFile::scan(path(), [&](const TZiehung&) { return ++seen < 10; });
    EXPECT_EQ(seen, 10);
}

TEST_F(HistoryTest, MissingOrUnreadableFileRaisesAnErrorNamingTheFile) {
    try {
        HistoryFile::readAll(path());
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(QString::fromStdString(e.what()).indexOf(QStringLiteral("setforlife.dat")), -1);
    }
    EXPECT_THROW(HistoryFile::Appender(dir.filePath(QStringLiteral("no/such/dir/x.dat"))), FileError);
}

// A disk that fills up during the update: the file keeps whole records only, and the error is
// the one of the write that failed.
TEST(HistoryFullDisk, AppendKeepsWholeRecordsAndReportsTheFailedWrite) {
    kwtest::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString path = disk.filePath(QStringLiteral("setforlife.dat"));
    HistoryFile::createSeeded(path);
    disk.fill(); // what is left is the rest of the file's first page: 4,096 bytes are not whole records
    std::string error;
    int appended = 0;
    {
        HistoryFile::Appender app(path);
        try {
            for (int i = 0; i < 1000; ++i, ++appended)
                app.append(kwtest::draw(42226 + i, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        } catch (const FileError& e) {
            error = e.what();
        }
        EXPECT_NO_THROW(app.close());
    }
    EXPECT_LT(appended, 1000);
    EXPECT_NE(error.find("Cannot write the draw history file"), std::string::npos) << error;
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_EQ(QFileInfo(path).size(), qint64(3 + appended) * TZiehung::kSize);
    const auto all = HistoryFile::readAll(path);
    ASSERT_EQ(all.size(), size_t(3 + appended));
    EXPECT_EQ(all.back().Ziehungsdatum, 42226.0 + appended - 1);
}

// A seed file that does not fit is not left behind empty or in part: the next start seeds again.
TEST(HistoryFullDisk, SeedingLeavesNoPartialFile) {
    kwtest::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString path = disk.filePath(QStringLiteral("setforlife.dat"));
    disk.fill();
    try {
        HistoryFile::createSeeded(path);
        ADD_FAILURE() << "seeding a full disk must fail";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(QFile::exists(path));
    disk.release();
    HistoryFile::createSeeded(path);
    EXPECT_EQ(QFileInfo(path).size(), 72);
}
