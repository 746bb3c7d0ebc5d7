// Every file the project replaces as a whole must either hold the new content or stay as it was.
#include "TestUtil.h"
#include "app/IniFile.h"
#include "app/SafeSave.h"
#include "server/DrawData.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using namespace kw;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Each way the project saves a whole file: replace the file at path; true when it says it did.
struct Saver {
    const char* name;
    const char* oldContent;
    std::function<bool(const QString& path, QString* error)> save;
};

const Saver kSavers[] = {
    {"settingsFile", "[Einstellungen]\nBesOft=12\n[Tipps]\nAnzahl=1\nS0_R0=1\n",
     [](const QString& path, QString* error) {
         IniFile ini;
         if (!ini.load(path, error))
             return false;
         ini.setValue(u"Einstellungen", u"BesOft", QStringLiteral("13"));
         return ini.save(path, error);
     }},
    {"serverDataFile", "# draws\n07.08.2015 4 5 8 9 10 12 19 30 6 29\n",
     [](const QString& path, QString* error) {
         const auto draw = srv::parseDataLine(u"08.08.2015 6 7 12 13 21 25 26 36 14 35", error);
         return draw && srv::appendDraw(path, *draw, error);
     }},
    {"wholeFile", "old",
     [](const QString& path, QString* error) {
         return saveFileAtomically(path, QByteArray(100, 'n'), error);
     }},
};

class SafeSave : public ::testing::TestWithParam<Saver> {
protected:
    void TearDown() override { failSavesAfterBytes(-1); }
};

TEST_P(SafeSave, AFailedWriteSaysSoAndLeavesTheOldFile) {
    const Saver& s = GetParam();
    for (const qint64 failAfter : {qint64(0), qint64(5)}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file"));
        writeBytes(path, s.oldContent);
        failSavesAfterBytes(failAfter);
        QString error;
        EXPECT_FALSE(s.save(path, &error)) << failAfter;
        failSavesAfterBytes(-1);
        EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
        EXPECT_EQ(readBytes(path).toStdString(), std::string(s.oldContent));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("file")})
            << "no temporary file is left behind";
        // Without the fault the same save goes through.
        EXPECT_TRUE(s.save(path, &error)) << error.toStdString();
        EXPECT_NE(readBytes(path).toStdString(), std::string(s.oldContent));
    }
}

// A real file system with no byte left: small files fit the write buffer, so only the flush
// can notice that nothing reached the disk.
TEST_P(SafeSave, AFullDiskSaysSoAndLeavesTheOldFile) {
    const Saver& s = GetParam();
    kwtest::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString path = disk.filePath(QStringLiteral("file"));
    writeBytes(path, s.oldContent);
    disk.fill();
    QString error;
    EXPECT_FALSE(s.save(path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
    EXPECT_EQ(readBytes(path).toStdString(), std::string(s.oldContent));
    disk.release();
    EXPECT_TRUE(s.save(path, &error)) << error.toStdString();
    EXPECT_NE(readBytes(path).toStdString(), std::string(s.oldContent));
}

INSTANTIATE_TEST_SUITE_P(EveryAtomicSave, SafeSave, ::testing::ValuesIn(kSavers),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
