#include "GuiTestUtil.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartInEmptyFolderCreatesSeededHistory() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QCOMPARE(w->windowTitle(), QStringLiteral("Kugelwerk Mobil"));
        QCOMPARE(fx.editor()->windowTitle(), QStringLiteral("Kugelwerk Tip edit"));
        QVERIFY(!fx.editor()->isVisible());
        QCOMPARE(w->TabControl1->count(), 4);
        QCOMPARE(w->TabControl1->tabText(0), QStringLiteral("tips"));
        QCOMPARE(w->TabControl1->currentWidget(), w->Lottotipp);
        QVERIFY(w->ZahlenFile.endsWith(QStringLiteral("setforlife.dat")));
        QVERIFY(w->ZahlenFile.startsWith(fx.home()));
        fx.showWindow();
        QCOMPARE(QFile(fx.home() + QStringLiteral("setforlife.dat")).size(), qint64(72));
    }

    void programFolderWithBlanksAndUmlautsWorks() {
        QTemporaryDir dir;
        const QString home = dir.filePath(QStringLiteral("Kugel werk äöü"));
        QVERIFY(QDir().mkpath(home));
        kwtest::copyAssets(home);
        kw::Messages::setHandler([](kw::Messages::Kind, const QString&) {});
        {
            TKugelwerk w(home);
            QVERIFY(w.Home.endsWith(QDir::separator()));
            QCOMPARE(w.IniDateiName, w.Home + QStringLiteral("setforlife.ini"));
            w.FormShow();
            QCOMPARE(QFile(w.ZahlenFile).size(), qint64(72));
            w.FormClose();
            QVERIFY(QFile::exists(w.IniDateiName));
        }
        kw::Messages::setHandler({});
    }

    // An installed program folder cannot be written: the history and the settings go to the
    // user's data folder and still survive a restart, the pictures come from the program folder.
    void aReadOnlyProgramFolderKeepsHistoryAndSettingsInTheUsersFolder() {
        QTemporaryDir userData;
        qputenv("XDG_DATA_HOME", QFile::encodeName(userData.path()));
        const QString user =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
        QVERIFY(user.startsWith(userData.path()));
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        kwtest::ensureBalls(fx.home());
        const auto writable = QFile::permissions(fx.home());
        QVERIFY(QFile::setPermissions(fx.home(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther));
        {
            TKugelwerk* w = fx.create();
            QCOMPARE(w->dataFolder(), user);
            QCOMPARE(w->ZahlenFile, user + QStringLiteral("setforlife.dat"));
            QCOMPARE(w->IniDateiName, user + QStringLiteral("setforlife.ini"));
            QCOMPARE(w->SoundName, fx.home() + QStringLiteral("yippee.wav"));
            auto* shown = w->findChild<QLabel*>(QStringLiteral("DataFolder"));
            QVERIFY(shown && shown->text().contains(user));
            fx.showWindow();
            QCOMPARE(QFile(w->ZahlenFile).size(), qint64(72));
            QCOMPARE(w->Circle[1]->bitmapFile(), fx.home() + QStringLiteral("zahl3.png"));
            w->Ueberfaellig->setValue(60);
            w->FormClose();
            QVERIFY(QFile::exists(w->IniDateiName));
        }
        QVERIFY(!QFile::exists(fx.home() + QStringLiteral("setforlife.dat")));
        QVERIFY(!QFile::exists(fx.home() + QStringLiteral("setforlife.ini")));
        {
            TKugelwerk again(fx.home());
            again.FormShow();
            QCOMPARE(int(again.Ueberfaellig->value()), 60);
            QVERIFY(fx.messages.isEmpty());
        }
        QFile::setPermissions(fx.home(), writable);
        qunsetenv("XDG_DATA_HOME");
    }

    void aWritableProgramFolderSaysSoOnTheInfoTab() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QCOMPARE(w->dataFolder(), fx.home());
        const auto* shown = w->findChild<QLabel*>(QStringLiteral("DataFolder"));
        QVERIFY(shown && shown->text().contains(fx.home()) &&
                shown->text().contains(QStringLiteral("program")));
        const auto* about = w->findChild<QLabel*>(QStringLiteral("AboutText"));
        QVERIFY(about && about->text().contains(QStringLiteral("GPL-3.0-or-later")));
        QCOMPARE(about->parentWidget(), w->Extras);
    }

    void aStoredTipThatIsNoNumberIsReportedAndTheStartGoesOn() {
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        QFile ini(fx.home() + QStringLiteral("setforlife.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Tipps]\nAnzahl=1\nS0_R0=0\nS1_R0=x\nS2_R0=2\nS3_R0=3\nS4_R0=4\nS5_R0=5\nS6_R0=6\n"
                  "S7_R0=7\nS8_R0=8\n");
        ini.close();
        TKugelwerk* w = fx.create();
        fx.showWindow();
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages[0].contains(QStringLiteral("\"x\"")));
        // The logo is loaded and the style list holds only the styles that are there.
        QVERIFY(w->Image1->property("bitmapFile").toString().endsWith(QStringLiteral("logo.png")));
        QVERIFY(w->ComboBox1->count() < 16);
    }

    void theBallsOfTheDrawOnDisplayHaveNames() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::ensureBalls(fx.home());
        fx.showWindow(); // the seed draws; the newest, 09.08.2015, is on display
        QCOMPARE(w->Circle[1]->accessibleName(), QStringLiteral("drawn number 3"));
        QCOMPARE(w->Circle[8]->accessibleName(), QStringLiteral("drawn number 31"));
        QCOMPARE(w->Circle[9]->accessibleName(), QStringLiteral("supplementary number 36"));
        QCOMPARE(w->Circle[10]->accessibleName(), QStringLiteral("supplementary number 37"));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
