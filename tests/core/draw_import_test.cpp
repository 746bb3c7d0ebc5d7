#include "TestUtil.h"
#include "app/Dates.h"
#include "draws/DrawImport.h"
#include "draws/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kw;

namespace {

/** Pins today, so that "in the future" does not move with the real clock. */
struct PinnedToday {
    PinnedToday() { Clock::setToday(QDate(2026, 12, 10)); }
    ~PinnedToday() { Clock::setToday(QDate()); }
};

std::array<uint8_t, 10> numbers(std::initializer_list<int> list) {
    std::array<uint8_t, 10> out{};
    size_t i = 0;
    for (int n : list)
        out[i++] = uint8_t(n);
    return out;
}

const std::array<uint8_t, 10> kSeed0 = numbers({4, 5, 8, 9, 10, 12, 19, 30, 6, 29});

// --- Reading published results -------------------------------------------------------------------

struct GoodForm {
    const char* name;
    const char* text;
    size_t draws;
    int firstLine; // line of the first draw
};

class ImportForms : public testing::TestWithParam<GoodForm> {
protected:
    PinnedToday today;
};

TEST_P(ImportForms, ReadsTheSeedDrawOfTheFirstDay) {
    const ParsedResults r = parsePublishedResults(QByteArray(GetParam().text));
    ASSERT_FALSE(r.error) << r.error->message().toStdString();
    ASSERT_EQ(r.draws.size(), GetParam().draws);
    EXPECT_EQ(r.draws[0].date, QDate(2015, 8, 7));
    EXPECT_EQ(r.draws[0].numbers, kSeed0); // drawn numbers sorted, supplementary ones as given
    EXPECT_EQ(r.draws[0].line, GetParam().firstLine);
}

INSTANTIATE_TEST_SUITE_P(
    Import, ImportForms,
    testing::Values(
        GoodForm{"DotsAndBlanks", "07.08.2015 4 5 8 9 10 12 19 30 6 29\n", 1, 1},
        GoodForm{"IsoCommasAnyOrder", "2015-08-07,30,4,19,5,12,10,8,9,6,29", 1, 1},
        GoodForm{"SlashesSemicolons", "07/08/2015;4;5;8;9;10;12;19;30;6;29;\n", 1, 1},
        GoodForm{"Tabs", "7.8.2015\t4\t5\t8\t9\t10\t12\t19\t30\t6\t29\n", 1, 1},
        GoodForm{"HeaderIsoCrLf",
                 "Draw date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Ball 7,Ball 8,Supp 1,Supp 2\r\n"
                 "2015-08-07,30,4,19,5,12,10,8,9,6,29\r\n2015-08-08,6,7,12,13,21,25,26,36,14,35\r\n",
                 2, 2},
        GoodForm{
            "QuotedWithDrawNumberAndBom",
            "\xEF\xBB\xBF\"Draw\",\"Date\",\"N1\",\"N2\",\"N3\",\"N4\",\"N5\",\"N6\",\"N7\",\"N8\",\"S1\","
            "\"S2\"\n"
            "\"1\",\"2015-08-07\",\"04\",\"05\",\"08\",\"09\",\"10\",\"12\",\"19\",\"30\",\"06\",\"29\"\n",
            1, 2},
        GoodForm{"CommentsBlankLinesMixedSeparators",
                 "# published results\n\n07.08.2015, 4, 5, 8, 9, 10, 12, 19, 30, 6, 29\n   \n"
                 "08.08.2015; 6 7 12 13 21 25 26 36 14 35\r",
                 2, 3},
        GoodForm{"SameDrawTwiceIsTakenOnce",
                 "07.08.2015 4 5 8 9 10 12 19 30 6 29\n2015-08-07 30 19 12 10 9 8 5 4 29 6\n", 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadLine {
    const char* name;
    const char* text;
    int line;
    const char* reason; // part of the reason
};

class ImportRefusals : public testing::TestWithParam<BadLine> {
protected:
    PinnedToday today;
};

TEST_P(ImportRefusals, RefuseTheWholeFileNamingTheFirstBadLine) {
    const ParsedResults r = parsePublishedResults(QByteArray(GetParam().text));
    ASSERT_TRUE(r.error);
    EXPECT_TRUE(r.draws.empty());
    EXPECT_EQ(r.error->line, GetParam().line);
    EXPECT_TRUE(r.error->reason.contains(QString::fromUtf8(GetParam().reason)))
        << r.error->reason.toStdString();
    if (GetParam().line > 0) {
        EXPECT_TRUE(r.error->message().startsWith(QStringLiteral("Line %1: ").arg(GetParam().line)));
    }
}

#define GOOD1 "07.08.2015 4 5 8 9 10 12 19 30 6 29\n"
INSTANTIATE_TEST_SUITE_P(
    Import, ImportRefusals,
    testing::Values(
        BadLine{"NoRealDay",
                GOOD1 "08.08.2015 6 7 12 13 21 25 26 36 14 35\n31.02.2016 1 2 3 4 5 6 7 8 9 10\n", 3,
                "\"31.02.2016\" is not a real day"},
        BadLine{"NoRealMonth", "2016-13-01 1 2 3 4 5 6 7 8 9 10\n", 1, "not a real day"},
        BadLine{"NoDate", GOOD1 "draw 1 2 3 4 5 6 7 8 9 10\n", 2, "\"draw\" is not a date"},
        BadLine{"NumbersOnly", GOOD1 "1 2 3 4 5 6 7 8 9 10\n", 2, "\"1\" is not a date"},
        BadLine{"TypoInFirstLineIsNoHeader", "07.08.2O15 4 5 8 9 10 12 19 30 6 29\n", 1, "is not a date"},
        BadLine{"NineNumbers", GOOD1 "08.08.2015 6 7 12 13 21 25 26 36 14\n", 2, "found 9"},
        BadLine{"ElevenNumbers", GOOD1 "08.08.2015 6 7 12 13 21 25 26 36 14 35 1\n", 2, "found 11"},
        BadLine{"AboveRange", GOOD1 "08.08.2015 6 7 12 13 21 25 26 38 14 35\n", 2,
                "\"38\" is not a number from 1 to 37"},
        BadLine{"Zero", "08.08.2015 0 7 12 13 21 25 26 36 14 35\n", 1, "\"0\" is not a number"},
        BadLine{"Letters", "08.08.2015 6 7 12 13 21 2x 26 36 14 35\n", 1, "\"2x\" is not a number"},
        BadLine{"Negative", "08.08.2015 6 7 12 13 21 -25 26 36 14 35\n", 1, "\"-25\" is not a number"},
        BadLine{"DrawnTwice", "08.08.2015 6 7 12 13 21 25 26 6 14 35\n", 1, "the number 6 appears twice"},
        BadLine{"SupplementaryDrawn", "08.08.2015 6 7 12 13 21 25 26 36 14 36\n", 1,
                "the number 36 appears twice"},
        BadLine{"Future", GOOD1 "11.12.2026 6 7 12 13 21 25 26 36 14 35\n", 2,
                "11.12.2026 lies in the future"},
        BadLine{"BeforeTheFirstDraw", "06.08.2015 6 7 12 13 21 25 26 36 14 35\n", 1, "before 07.08.2015"},
        BadLine{"OneDayTwoDraws", GOOD1 "2015-08-07 6 7 12 13 21 25 26 36 14 35\n", 2,
                "a second draw for 07.08.2015 with other numbers than on line 1"},
        BadLine{"Empty", "", 0, "no draws"},
        BadLine{"HeaderOnly", "Date,N1,N2,N3,N4,N5,N6,N7,N8,S1,S2\r\n\r\n", 0, "no draws"}),
    [](const auto& info) { return std::string(info.param.name); });
#undef GOOD1

TEST(ImportForms, SupplementaryPairMatchesInEitherOrder) {
    EXPECT_TRUE(sameDraw(kSeed0, numbers({30, 19, 12, 10, 9, 8, 5, 4, 29, 6})));
    EXPECT_FALSE(sameDraw(kSeed0, numbers({4, 5, 8, 9, 10, 12, 19, 31, 6, 29})));
    EXPECT_FALSE(sameDraw(kSeed0, numbers({4, 5, 8, 9, 10, 12, 19, 30, 6, 28})));
}

// --- Merging into the history -------------------------------------------------------------------

struct MergeTest : testing::Test {
    PinnedToday today;
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("setforlife.dat")); }
    QByteArray bytes() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static ImportedDraw imported(double day, std::array<uint8_t, 10> n, int line = 1) {
        return ImportedDraw{dateFromDay(day), n, line};
    }
    static QByteArray record(const TZiehung& z) {
        const auto b = z.toBytes();
        return QByteArray(reinterpret_cast<const char*>(b.data()), b.size());
    }
};

TEST_F(MergeTest, SkipsDaysAlreadyThereAndAppendsNewOnesWithTheLastRecordsReservedBytes) {
    const auto seeds = seedDraws();
    std::vector<TZiehung> old(seeds.begin(), seeds.end());
    old[2].Reserviert = {1, 2, 3, 4, 5, 6};
    kwtest::writeHistory(path(), old);
    const QByteArray before = bytes();

    const MergeResult r =
        mergeIntoHistory(path(), {imported(42223, numbers({30, 4, 19, 5, 12, 10, 8, 9, 29, 6})),
                                  imported(42227, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 3),
                                  imported(42226, numbers({11, 12, 13, 14, 15, 16, 17, 18, 19, 20}), 2)});
    ASSERT_TRUE(r.ok) << r.refusal.toStdString();
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.alreadyThere, 1);
    EXPECT_FALSE(r.rewritten);
    EXPECT_EQ(r.summary(), QStringLiteral("2 draws added, 1 already there; newest 11.08.2015"));

    TZiehung a = kwtest::draw(42226, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    TZiehung b = kwtest::draw(42227, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    a.Reserviert = b.Reserviert = old[2].Reserviert;
    EXPECT_EQ(bytes(), before + record(a) + record(b)); // the old bytes untouched, new days in date order
}

TEST_F(MergeTest, DayWithOtherNumbersRefusesTheWholeImportAndChangesNothing) {
    HistoryFile::createSeeded(path());
    const QByteArray before = bytes();
    const MergeResult r =
        mergeIntoHistory(path(), {imported(42230, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 1),
                                  imported(42224, numbers({6, 7, 12, 13, 21, 25, 26, 36, 14, 34}), 7),
                                  imported(42200 + 29, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 11}), 2)});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.refusal.contains(QStringLiteral("line 7, 08.08.2015"))) << r.refusal.toStdString();
    EXPECT_TRUE(r.refusal.contains(QStringLiteral("nothing was imported")));
    EXPECT_EQ(bytes(), before);
}

TEST_F(MergeTest, DaysBeforeTheLastRecordAreInsertedInDateOrderByANewFile) {
    std::vector<TZiehung> old{kwtest::draw(42223, {4, 5, 8, 9, 10, 12, 19, 30, 6, 29}),
                              kwtest::draw(42225, {3, 4, 7, 11, 15, 23, 27, 31, 36, 37}),
                              kwtest::draw(42225, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), // two on one day
                              kwtest::draw(42230, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11})};
    old[0].Reserviert = {9, 9, 9, 9, 9, 9};
    old[3].Reserviert = {7, 0, 0, 0, 0, 7};
    kwtest::writeHistory(path(), old);

    const MergeResult r =
        mergeIntoHistory(path(), {imported(42231, numbers({20, 21, 22, 23, 24, 25, 26, 27, 28, 29})),
                                  imported(42225, numbers({1, 2, 3, 4, 5, 6, 7, 8, 10, 9})),
                                  imported(42224, numbers({6, 7, 12, 13, 21, 25, 26, 36, 14, 35}))});
    ASSERT_TRUE(r.ok) << r.refusal.toStdString();
    EXPECT_TRUE(r.rewritten);
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.alreadyThere, 1); // matches the second draw of its day
    EXPECT_EQ(r.summary(), QStringLiteral("2 draws added, 1 already there; newest 15.08.2015"));

    TZiehung inserted = kwtest::draw(42224, {6, 7, 12, 13, 21, 25, 26, 36, 14, 35});
    inserted.Reserviert = old[0].Reserviert;
    TZiehung appended = kwtest::draw(42231, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
    appended.Reserviert = old[3].Reserviert;
    EXPECT_EQ(bytes(), record(old[0]) + record(inserted) + record(old[1]) + record(old[2]) + record(old[3]) +
                           record(appended));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setforlife.dat")});
}

TEST_F(MergeTest, AMissingHistoryStartsWithTheSeedDrawsAsTheUpdateMakesIt) {
    const MergeResult r = mergeIntoHistory(
        path(), {imported(42223, kSeed0), imported(42226, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}))});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.summary(), QStringLiteral("1 draw added, 1 already there; newest 10.08.2015"));
    EXPECT_EQ(HistoryFile::recordCount(path()), 4);
}

// --- A crash or a failing disk during an import ------------------------------------------------------

/** A long history and an import that needs a new file (one day inserted) or only appends. */
struct ImportCrashTest : MergeTest {
    static constexpr int kRecords = 40000; // about a megabyte: a write takes a while
    std::vector<TZiehung> history = kwtest::dailyDraws(kRecords, 7);
    QByteArray oldBytes;
    void SetUp() override {
        history.erase(history.begin() + 100); // a gap to insert into
        kwtest::writeHistory(path(), history);
        oldBytes = bytes();
    }
    std::vector<ImportedDraw> insertion() const {
        return {imported(kFirstSeedDay + 100, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}))};
    }
    std::vector<ImportedDraw> appendix(int n) const {
        std::vector<ImportedDraw> out;
        for (int i = 0; i < n; ++i)
            out.push_back(imported(kFirstSeedDay + kRecords + i, numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
        return out;
    }
    QByteArray newBytesAfter(const std::vector<ImportedDraw>& draws) {
        QTemporaryDir other;
        const QString copy = other.filePath(QStringLiteral("h.dat"));
        QFile::copy(path(), copy);
        EXPECT_TRUE(mergeIntoHistory(copy, draws).ok);
        QFile f(copy);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void restore() {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(oldBytes);
    }
    /** Runs the import in a child process; the child's exit status, or -signal when killed. */
    template <class Prepare>
    int inChild(const std::vector<ImportedDraw>& draws, Prepare prepare, int killAfterMicros = -1) {
        const pid_t pid = fork();
        if (pid == 0) {
            prepare();
            const MergeResult r = mergeIntoHistory(path(), draws);
            _exit(r.ok ? 0 : 3);
        }
        if (killAfterMicros >= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(killAfterMicros));
            kill(pid, SIGKILL);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }
};

TEST_F(ImportCrashTest, AKillAtAnyPointLeavesTheOldOrTheNewHistory) {
    const auto inserting = insertion();
    const QByteArray newBytes = newBytesAfter(inserting);
    ASSERT_EQ(newBytes.size(), oldBytes.size() + TZiehung::kSize);

    // How long one import takes here, so that the kills fall before, during and after it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(inChild(inserting, [] {}), 0);
    const auto took =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::mt19937 g(17);
    std::uniform_int_distribution<int> at(0, int(took.count() * 3 / 2) + 1);
    int killedOld = 0, killedNew = 0;
    for (int i = 0; i < 30; ++i) {
        restore();
        const int status = inChild(
            inserting, [] {}, at(g));
        const QByteArray now = bytes();
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "run " << i << ": " << now.size() << " bytes";
        if (status == -SIGKILL)
            (now == oldBytes ? killedOld : killedNew)++;
        // A kill may leave the new file's unfinished temporary beside it; the history is whole.
        for (const QString& stray :
             QDir(dir.path()).entryList({QStringLiteral("setforlife.dat.*")}, QDir::Files))
            QFile::remove(dir.filePath(stray));
    }
    EXPECT_GT(killedOld + killedNew, 0); // some kills hit the import while it ran
    std::printf("kills before the switch: %d, after: %d (one import took %lld us)\n", killedOld, killedNew,
                static_cast<long long>(took.count()));

    // Appending is killed the same way: what is left is the old history and some of the new days,
    // each a whole record in date order.
    const auto appending = appendix(2000);
    for (int i = 0; i < 10; ++i) {
        restore();
        inChild(
            appending, [] {}, at(g));
        const auto records = HistoryFile::readAll(path());
        ASSERT_GE(records.size(), history.size());
        ASSERT_TRUE(bytes().startsWith(oldBytes));
        for (size_t k = 1; k < records.size(); ++k)
            ASSERT_LT(records[k - 1].Ziehungsdatum, records[k].Ziehungsdatum);
    }
}

TEST_F(ImportCrashTest, AFailingWriteLeavesTheHistoryAsItWas) {
    // The file size limit makes the disk refuse the new file part of the way through.
    const auto limited = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(oldBytes.size() / 2), rlim_t(oldBytes.size() / 2)};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    EXPECT_EQ(inChild(insertion(), limited), 3);
    EXPECT_EQ(bytes(), oldBytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setforlife.dat")});

    // Appending at the limit stores the whole records that fit and no part of the next one.
    const auto atLimit = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(oldBytes.size() + 5 * TZiehung::kSize + 10),
                           rlim_t(oldBytes.size() + 5 * TZiehung::kSize + 10)};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    EXPECT_EQ(inChild(appendix(20), atLimit), 3);
    EXPECT_EQ(bytes().size(), oldBytes.size() + 5 * TZiehung::kSize);
    EXPECT_TRUE(bytes().startsWith(oldBytes));
}

} // namespace
