#include "app/IniFile.h"
#include "app/SettingsRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kw;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// Text values must reach the file unchanged, so that other INI readers see what the user typed.
TEST(IniFile, TextValuesAreWrittenUnchangedAndReadBack) {
    const QStringList values{QStringLiteral("a,b,c"),
                             QStringLiteral("say \"hi\""),
                             QStringLiteral("C:\\styles\\Dark.style"),
                             QStringLiteral("x=y=z"),
                             QStringLiteral("Grüße äöü ß"),
                             QStringLiteral("  leading and trailing  "),
                             QStringLiteral(";not a comment"),
                             QString()};
    IniFile ini;
    for (int i = 0; i < values.size(); ++i)
        ini.setValue(u"Einstellungen", QStringLiteral("K%1").arg(i), values[i]);
    const QString text = ini.toText();
    for (int i = 0; i < values.size(); ++i)
        EXPECT_TRUE(text.contains(QStringLiteral("\nK%1=%2\n").arg(i).arg(values[i])))
            << values[i].toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.ini"));
    QString error;
    ASSERT_TRUE(ini.save(path, &error)) << error.toStdString();
    EXPECT_TRUE(readBytes(path).contains(QStringLiteral("K4=Grüße äöü ß\n").toUtf8()));
    IniFile back;
    ASSERT_TRUE(back.load(path));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.value(u"einstellungen", QStringLiteral("k%1").arg(i)), values[i]) << i;
}

TEST(IniFile, ReadsTheCommonLayoutLeniently) {
    const IniFile ini = IniFile::fromText(QStringLiteral("\uFEFF; written by hand\r\n"
                                                         "[Einstellungen]\r\n"
                                                         "  BesOft = 12\r\n"
                                                         "Style=C:\\a=b.style\r\n"
                                                         "no equals sign here\r\n"
                                                         "[ Tipps ]\r\n"
                                                         "Anzahl=3\r\n"
                                                         "[Einstellungen]\r\n"
                                                         "BesOft=99\r\n"));
    EXPECT_EQ(ini.value(u"EINSTELLUNGEN", u"besoft"), QStringLiteral(" 12")); // first entry wins
    EXPECT_EQ(ini.value(u"Einstellungen", u"Style"), QStringLiteral("C:\\a=b.style"));
    EXPECT_EQ(ini.value(u"Tipps", u"Anzahl"), QStringLiteral("3"));
    EXPECT_EQ(ini.value(u"Tipps", u"BesOft"), std::nullopt);
    EXPECT_EQ(ini.value(u"Einstellungen", u"no equals sign here"), std::nullopt);
    EXPECT_EQ(ini.keyCount(u"Tipps"), 1);
    EXPECT_FALSE(ini.hasSection(u"Other"));
}

TEST(IniFile, ReplacesInPlaceKeepsUnknownLinesAndRebuildsASection) {
    IniFile ini = IniFile::fromText(QStringLiteral("[Einstellungen]\n"
                                                   "; keep me\n"
                                                   "Custom=1\n"
                                                   "BesOft=10\n"
                                                   "\n"
                                                   "[Tipps]\n"
                                                   "Anzahl=12\n"
                                                   "S1_R11=37\n"
                                                   "[Other]\n"
                                                   "x=1\n"
                                                   "[tipps]\n"
                                                   "S1_R0=5\n"));
    ini.removeSection(u"Tipps");
    ini.setValue(u"Tipps", u"Anzahl", QStringLiteral("3"));
    ini.setValue(u"einstellungen", u"BESOFT", QStringLiteral("20")); // same entry, any letter case
    ini.setValue(u"Einstellungen", u"Width", QStringLiteral("768"));
    ini.setValue(u"Einstellungen", u"Style", QStringLiteral("line\nbreak"));
    EXPECT_EQ(ini.toText().toStdString(), std::string("[Einstellungen]\n"
                                                      "; keep me\n"
                                                      "Custom=1\n"
                                                      "BesOft=20\n"
                                                      "Width=768\n"
                                                      "Style=line break\n"
                                                      "\n"
                                                      "[Other]\n"
                                                      "x=1\n"
                                                      "[Tipps]\n"
                                                      "Anzahl=3\n"));
}

// What the program does not change is written back byte for byte: carriage returns inside a
// line, blanks around keys and section names, a byte-order mark, the lack of a last line break.
TEST(IniFile, UnchangedTextIsWrittenBackByteForByte) {
    const char* const texts[] = {
        "[Einstellungen]\nk=v\r\r\n",
        "[Einstellungen]\r\nCustom=a\rb\r\r\nBesOft=12\r\n",
        "k=v\r",
        "\r\n\r\r\n\n",
        "  [ Tipps ]  \n  Anzahl =  3 \n; comment\n# other\nno equals\n",
        "\xEF\xBB\xBF[Einstellungen]\nBesOft=12",
        "=no key\n[]\n[x\n",
        "",
        "\n",
    };
    for (const char* t : texts) {
        const QString text = QString::fromUtf8(t);
        EXPECT_EQ(IniFile::fromText(text).toText().toStdString(), text.toStdString());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setforlife.ini"));
        writeBytes(path, QByteArray(t));
        IniFile ini;
        ASSERT_TRUE(ini.load(path));
        for (int round = 0; round < 3; ++round) { // each save used to lose one CR
            ASSERT_TRUE(ini.save(path));
            ASSERT_TRUE(ini.load(path));
        }
        EXPECT_EQ(readBytes(path).toStdString(), std::string(t));
    }
}

TEST(IniFile, AValueKeepsItsCarriageReturnsAndChangedValuesKeepTheLineEnds) {
    IniFile ini = IniFile::fromText(QStringLiteral("[Einstellungen]\r\nk=v\r\r\nBesOft=1\r\nlast=x"));
    EXPECT_EQ(ini.value(u"Einstellungen", u"k"), QStringLiteral("v\r"));
    ini.setValue(u"Einstellungen", u"k", QStringLiteral("v\r")); // the same value: untouched
    ini.setValue(u"Einstellungen", u"BesOft", QStringLiteral("2"));
    ini.setValue(u"Einstellungen", u"New", QStringLiteral("3"));
    ini.setValue(u"Tipps", u"Anzahl", QStringLiteral("4"));
    EXPECT_EQ(
        ini.toText().toStdString(),
        std::string("[Einstellungen]\r\nk=v\r\r\nBesOft=2\r\nlast=x\r\nNew=3\r\n[Tipps]\r\nAnzahl=4\r\n"));
}

TEST(IniFile, MissingFileIsEmptyAndNonUtf8IsReadAsLatin1) {
    QTemporaryDir dir;
    IniFile ini;
    EXPECT_TRUE(ini.load(dir.filePath(QStringLiteral("none.ini"))));
    EXPECT_EQ(ini.toText(), QString());

    const QString path = dir.filePath(QStringLiteral("old.ini"));
    writeBytes(path, QByteArray("[Einstellungen]\nGlueckszahlEdit=M\xfcller\n"));
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.value(u"Einstellungen", u"GlueckszahlEdit"), QStringLiteral("Müller"));
}

// A write that cannot happen must say so and leave whatever was there.
TEST(IniFile, FailedSaveReportsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    IniFile ini;
    ini.setValue(u"Einstellungen", u"BesOft", QStringLiteral("10"));
    QString error;
    EXPECT_FALSE(ini.save(dir.filePath(QStringLiteral("missing/setforlife.ini")), &error));
    EXPECT_FALSE(error.isEmpty());

    // A folder in the file's place cannot be replaced.
    const QString blocked = dir.filePath(QStringLiteral("setforlife.ini"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("setforlife.ini")));
    error.clear();
    EXPECT_FALSE(ini.save(blocked, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

struct FormCase {
    const char* raw; // nullptr: key absent
    std::optional<int> integer;
    std::optional<bool> boolean;
};

class ValueForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(ValueForms, IntegerAndBoolean) {
    const FormCase& c = GetParam();
    const std::optional<QString> raw = c.raw ? std::optional(QString::fromUtf8(c.raw)) : std::nullopt;
    EXPECT_EQ(readInteger(raw), c.integer);
    EXPECT_EQ(readBoolean(raw), c.boolean);
}

INSTANTIATE_TEST_SUITE_P(Settings, ValueForms,
                         ::testing::Values(FormCase{"12", 12, true}, FormCase{" -3 ", -3, true},
                                           FormCase{"0", 0, false},
                                           FormCase{"abc", std::nullopt, std::nullopt},
                                           FormCase{"1.5", std::nullopt, std::nullopt},
                                           FormCase{"", std::nullopt, std::nullopt},
                                           FormCase{"99999999999", std::nullopt, std::nullopt},
                                           FormCase{nullptr, std::nullopt, std::nullopt}));

TEST(DateForm, DottedAndTheDayMustExist) {
    EXPECT_EQ(readDate(QStringLiteral("07.08.2015")), QDate(2015, 8, 7));
    EXPECT_EQ(readDate(QStringLiteral("29.02.2016")), QDate(2016, 2, 29));
    EXPECT_EQ(readDate(QStringLiteral("31.02.2016")), std::nullopt);
    EXPECT_EQ(readDate(QStringLiteral("2015-08-07")), std::nullopt);
    EXPECT_EQ(readDate(std::nullopt), std::nullopt);
    EXPECT_EQ(writeDate(QDate(2015, 8, 7)), QStringLiteral("07.08.2015"));
    EXPECT_EQ(tipKey(8, 11), QStringLiteral("S8_R11"));
}
