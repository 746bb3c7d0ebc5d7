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
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
