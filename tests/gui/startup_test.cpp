#include "GuiTestUtil.h"

#include <QDir>
#include <QFile>
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
