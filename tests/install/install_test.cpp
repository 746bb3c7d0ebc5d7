// The installed program, as a user gets it: installed into a temporary prefix with
// `cmake --install`, started (offscreen) with a temporary home folder and ended with SIGTERM,
// on which it closes its window and writes its settings as at every close. And the packages'
// contents, from `cpack -G DEB`.
#include "gui/GuiTestUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

namespace {

const QString kBuild = QStringLiteral(KW_BUILD_DIR);
const QString kAppId = QStringLiteral(KW_APP_ID);

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll());
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(text);
}

/** The value of key in an INI text, or nothing. */
QByteArray iniValue(const QByteArray& ini, const QByteArray& key) {
    for (const QByteArray& line : ini.split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1).trimmed();
    return "(none)";
}

/** Whether the process has its own handler for SIGTERM yet (Linux: the caught-signals mask). */
bool catchesSigterm(qint64 pid) {
    const QByteArray status = readAll(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

/** Lets a temporary tree be removed again: the installed program folder has no write bits. */
void makeTreeWritable(const QString& root) {
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QFile::setPermissions(root, QFile::permissions(root) | QFile::WriteOwner);
    while (it.hasNext()) {
        const QString d = it.next();
        if (!QFileInfo(d).isSymLink())
            QFile::setPermissions(d, QFile::permissions(d) | QFile::WriteOwner);
    }
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    QString m_prefix;
    QString m_programDir;
    kwtest::RefusedPort m_refused;

    /**
     * Starts the program with HOME at home, waits until it handles SIGTERM itself, ends it with
     * SIGTERM and waits for it to close by itself, as its window's close button does.
     */
    void startAndEnd(const QString& program, const QString& home) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "KW_ASSETS_DIR"})
            env.remove(QString::fromLatin1(var));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.multimedia*=false"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(program, {});
        QVERIFY2(p.waitForStarted(10000), qPrintable(program));
        QTRY_VERIFY_WITH_TIMEOUT(p.state() != QProcess::Running || catchesSigterm(p.processId()), 60000);
        QCOMPARE(p.state(), QProcess::Running);
        p.terminate(); // SIGTERM
        QVERIFY2(p.waitForFinished(60000), "the program did not end on SIGTERM");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    /**
     * Two starts of the program with its files in dataDir: the first creates the history with its
     * seed draws and writes every setting at close; a setting changed in between is read at the
     * second start and written back.
     */
    void checkTwoStarts(const QString& program, const QString& home, const QString& dataDir) {
        const QString dat = dataDir + QStringLiteral("/setforlife.dat");
        const QString ini = dataDir + QStringLiteral("/setforlife.ini");
        // Only the update server, so that no start asks whatever listens on this machine.
        QVERIFY(QDir().mkpath(dataDir));
        writeFile(ini, "[Einstellungen]\nUpdateServer=" + m_refused.url().toUtf8() + "\n");
        startAndEnd(program, home);
        QCOMPARE(QFileInfo(dat).size(), qint64(72));
        QByteArray settings = readAll(ini);
        QCOMPARE(iniValue(settings, "Ueberfaellig"), QByteArray("75"));
        QCOMPARE(iniValue(settings, "Anzahl"), QByteArray("4"));

        settings.replace("Ueberfaellig=75", "Ueberfaellig=60");
        writeFile(ini, settings);
        startAndEnd(program, home);
        settings = readAll(ini);
        QCOMPARE(iniValue(settings, "Ueberfaellig"), QByteArray("60"));
        QCOMPARE(iniValue(settings, "UpdateServer"), m_refused.url().toUtf8());
        QCOMPARE(QFileInfo(dat).size(), qint64(72));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        QVERIFY(m_refused.port() != 0);
        // Readable for every user, as an installed program is.
        QFile::setPermissions(m_tmp.path(), QFile::permissions(m_tmp.path()) | QFile::ReadOther |
                                                QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        m_prefix = m_tmp.filePath(QStringLiteral("prefix with blank"));
        int rc = 0;
        const QString out =
            run(QStringLiteral(KW_CMAKE),
                {QStringLiteral("--install"), kBuild, QStringLiteral("--prefix"), m_prefix}, &rc);
        QVERIFY2(rc == 0, qPrintable(out));
        m_programDir = m_prefix + QStringLiteral("/lib/kugelwerk");
    }

    void cleanupTestCase() { makeTreeWritable(m_tmp.path()); }

    void installsTheProgramItsFilesAndTheDesktopEntry() {
        QStringList expected = {QStringLiteral("lib/kugelwerk/Kugelwerk"),
                                QStringLiteral("lib/kugelwerk/logo.png"),
                                QStringLiteral("lib/kugelwerk/stern.png"),
                                QStringLiteral("lib/kugelwerk/Stop32.png"),
                                QStringLiteral("lib/kugelwerk/yippee.wav"),
                                QStringLiteral("lib/kugelwerk/Dark.style"),
                                QStringLiteral("share/applications/%1.desktop").arg(kAppId),
                                QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId),
                                QStringLiteral("bin/kugelwerk-update-server"),
                                QStringLiteral("share/kugelwerk-update-server/demo-draws-SYNTHETIC.txt")};
        for (int n = 1; n <= 37; ++n)
            expected << QStringLiteral("lib/kugelwerk/zahl%1.png").arg(n);
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        for (const QString& f : expected)
            QVERIFY2(QFileInfo(m_prefix + QLatin1Char('/') + f).isFile(), qPrintable(f));
        QCOMPARE(
            QImage(m_prefix + QStringLiteral("/share/icons/hicolor/48x48/apps/%1.png").arg(kAppId)).size(),
            QSize(48, 48));
        // The launcher is a link, so that the program finds its folder through it.
        const QFileInfo launcher(m_prefix + QStringLiteral("/bin/kugelwerk"));
        QVERIFY(launcher.isSymLink());
        QCOMPARE(launcher.canonicalFilePath(),
                 QFileInfo(m_programDir + QStringLiteral("/Kugelwerk")).canonicalFilePath());
        QVERIFY(QFileInfo(m_programDir + QStringLiteral("/Kugelwerk")).isExecutable());
        // No write bit on the program folder: read-only to everybody, root included.
        const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(!(QFile::permissions(m_programDir) & writeBits));
        // Nothing that the program writes is installed.
        QVERIFY(!QFileInfo::exists(m_programDir + QStringLiteral("/setforlife.dat")));
        QVERIFY(!QFileInfo::exists(m_programDir + QStringLiteral("/setforlife.ini")));
    }

    void theDesktopEntryAndTheMetadataAreValid() {
        const QString desktop = m_prefix + QStringLiteral("/share/applications/%1.desktop").arg(kAppId);
        const QString metainfo = m_prefix + QStringLiteral("/share/metainfo/%1.metainfo.xml").arg(kAppId);
        const QByteArray entry = readAll(desktop);
        QVERIFY(entry.contains("\nExec=kugelwerk\n"));
        QVERIFY(entry.contains("\nIcon=" + kAppId.toUtf8() + "\n"));
        const QByteArray meta = readAll(metainfo);
        QVERIFY(meta.contains("<release version=\"" KW_PROJECT_VERSION "\""));
        QVERIFY(meta.contains("<screenshot type=\"default\">"));
        QVERIFY(
            meta.contains("<launchable type=\"desktop-id\">" + kAppId.toUtf8() + ".desktop</launchable>"));
        const QString dfv = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString asv = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (dfv.isEmpty() || asv.isEmpty())
            QSKIP("desktop-file-validate or appstreamcli missing (packages desktop-file-utils, appstream)");
        int rc = 0;
        QString out = run(dfv, {desktop}, &rc);
        QVERIFY2(rc == 0 && out.trimmed().isEmpty(), qPrintable(out));
        out = run(asv, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo}, &rc);
        QVERIFY2(rc == 0, qPrintable(out));
    }

    // The installed folder: history and settings in the user's data folder, created there.
    void theInstalledProgramKeepsItsFilesInTheUsersDataFolder() {
        const QString home = m_tmp.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        const QString data = home + QStringLiteral("/.local/share/Kugelwerk");
        checkTwoStarts(m_prefix + QStringLiteral("/bin/kugelwerk"), home, data);
        const QStringList inProgramDir = QDir(m_programDir).entryList({QStringLiteral("setforlife.*")});
        QVERIFY2(inProgramDir.isEmpty(), qPrintable(inProgramDir.join(u' ')));
    }

    // A copy of the folder that the user may write: everything stays beside the program.
    void aCopiedWritableFolderKeepsItsFilesBesideTheProgram() {
        const QString copy = m_tmp.filePath(QStringLiteral("Kugelwerk copy äö"));
        QVERIFY(QDir().mkpath(copy));
        const QStringList files = QDir(m_programDir).entryList(QDir::Files);
        QVERIFY(files.size() > 40);
        for (const QString& f : files)
            QVERIFY(QFile::copy(m_programDir + QLatin1Char('/') + f, copy + QLatin1Char('/') + f));
        const QString home = m_tmp.filePath(QStringLiteral("home2"));
        QVERIFY(QDir().mkpath(home));
        checkTwoStarts(copy + QStringLiteral("/Kugelwerk"), home, copy);
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/.local/share/Kugelwerk")));
    }

    void thePackagesHoldTheProgramItsFilesAndTheServer() {
        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        const QString shlibdeps = QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps"));
        if (dpkgDeb.isEmpty() || shlibdeps.isEmpty())
            QSKIP("dpkg-deb or dpkg-shlibdeps missing (package dpkg-dev)");
        const QString out = m_tmp.filePath(QStringLiteral("packages"));
        int rc = 0;
        const QString log = run(QStringLiteral(KW_CPACK),
                                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                 kBuild + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), out},
                                &rc);
        QVERIFY2(rc == 0, qPrintable(log));
        const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")});
        const QString program = QStringLiteral("kugelwerk_" KW_PROJECT_VERSION "_");
        const QString server = QStringLiteral("kugelwerk-update-server_" KW_PROJECT_VERSION "_");
        QString programDeb, serverDeb;
        for (const QString& d : debs) {
            if (d.startsWith(program))
                programDeb = out + QLatin1Char('/') + d;
            if (d.startsWith(server))
                serverDeb = out + QLatin1Char('/') + d;
        }
        QVERIFY2(!programDeb.isEmpty() && !serverDeb.isEmpty(), qPrintable(debs.join(u' ')));

        const QString contents = run(dpkgDeb, {QStringLiteral("-c"), programDeb}, &rc);
        QCOMPARE(rc, 0);
        QStringList expected = {QStringLiteral("./usr/lib/kugelwerk/Kugelwerk"),
                                QStringLiteral("./usr/lib/kugelwerk/logo.png"),
                                QStringLiteral("./usr/lib/kugelwerk/stern.png"),
                                QStringLiteral("./usr/lib/kugelwerk/Stop32.png"),
                                QStringLiteral("./usr/lib/kugelwerk/yippee.wav"),
                                QStringLiteral("./usr/lib/kugelwerk/Light.style"),
                                QStringLiteral("./usr/bin/kugelwerk -> ../lib/kugelwerk/Kugelwerk"),
                                QStringLiteral("./usr/share/applications/%1.desktop").arg(kAppId),
                                QStringLiteral("./usr/share/metainfo/%1.metainfo.xml").arg(kAppId)};
        for (int n = 1; n <= 37; ++n)
            expected << QStringLiteral("./usr/lib/kugelwerk/zahl%1.png").arg(n);
        for (int size : {16, 32, 48, 64, 128, 256})
            expected << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        for (const QString& f : expected)
            QVERIFY2(contents.contains(f + QLatin1Char('\n')) || contents.contains(f + QLatin1Char(' ')) ||
                         contents.endsWith(f),
                     qPrintable(f));
        QVERIFY2(contents.contains(QStringLiteral("dr-xr-xr-x root/root")),
                 "program folder without write bits");
        QVERIFY(!contents.contains(QStringLiteral("kugelwerk-update-server")));
        QVERIFY(!contents.contains(QStringLiteral("setforlife.")));
        const QString depends = run(dpkgDeb, {QStringLiteral("-f"), programDeb, QStringLiteral("Depends")});
        for (const char* lib : {"libqt6widgets6", "libqt6charts6", "libqt6multimedia6", "qt6-qpa-plugins"})
            QVERIFY2(depends.contains(QLatin1String(lib)), qPrintable(depends));

        const QString serverContents = run(dpkgDeb, {QStringLiteral("-c"), serverDeb});
        QVERIFY(serverContents.contains(QStringLiteral("./usr/bin/kugelwerk-update-server\n")));
        QVERIFY(serverContents.contains(
            QStringLiteral("./usr/share/kugelwerk-update-server/demo-draws-SYNTHETIC.txt")));
        QVERIFY(!serverContents.contains(QStringLiteral("/usr/lib/kugelwerk/")));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "install_test.moc"
