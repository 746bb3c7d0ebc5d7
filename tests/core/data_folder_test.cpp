#include "app/About.h"
#include "app/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

/** A program folder and a user data folder (not yet there) inside one temporary folder. */
struct Folders {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("Kugel werk äö"));
    QString user = root.filePath(QStringLiteral("home/.local/share/Kugelwerk"));
    Folders() { QDir().mkpath(program); }
    ~Folders() { QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    void makeReadOnly() {
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
};

} // namespace

TEST(DataFolder, aWritableProgramFolderKeepsEverythingBesideTheProgram) {
    Folders f;
    for (const QString& given : {f.program, f.program + QLatin1Char('/')}) {
        const kw::DataFolderChoice c = kw::chooseDataFolder(given, f.user);
        EXPECT_TRUE(c.besideProgram);
        EXPECT_EQ(c.folder, f.program + QLatin1Char('/'));
    }
    EXPECT_FALSE(QDir(f.user).exists()) << "nothing is made in the user's folder";
}

// Checked by the write bits, so that it also holds for root, for whom every access check passes.
TEST(DataFolder, aReadOnlyProgramFolderSendsTheFilesToTheUsersDataFolderWhichIsCreated) {
    Folders f;
    f.makeReadOnly();
    EXPECT_FALSE(kw::folderWritable(f.program));
    const kw::DataFolderChoice c = kw::chooseDataFolder(f.program, f.user);
    EXPECT_FALSE(c.besideProgram);
    EXPECT_EQ(c.folder, f.user + QLatin1Char('/'));
    EXPECT_TRUE(QDir(f.user).exists());
    EXPECT_TRUE(kw::folderWritable(f.user));
}

TEST(DataFolder, onlyAnExistingFolderIsWritable) {
    Folders f;
    EXPECT_TRUE(kw::folderWritable(f.program));
    EXPECT_FALSE(kw::folderWritable(f.root.filePath(QStringLiteral("missing"))));
    QFile file(f.root.filePath(QStringLiteral("a file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(kw::folderWritable(file.fileName()));
    // A program folder that is gone cannot take the files either.
    EXPECT_FALSE(kw::chooseDataFolder(f.root.filePath(QStringLiteral("missing")), f.user).besideProgram);
}

TEST(About, namesTheProjectVersionAndBothLicences) {
    EXPECT_EQ(kw::programVersion(), QStringLiteral(KW_PROJECT_VERSION));
    const QString text = kw::aboutText();
    EXPECT_TRUE(text.contains(QStringLiteral("Kugelwerk " KW_PROJECT_VERSION))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("GPL-3.0-or-later")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains(QStringLiteral("LGPL-3.0-only")));
}
