#include "GuiTestUtil.h"
#include "app/IniFile.h"
#include "app/ui/Shell.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

void keepOnlyStyles(const QString& home, const QStringList& names) {
    QDir dir(home);
    for (const QString& f : dir.entryList({QStringLiteral("*.style")}, QDir::Files))
        if (!names.contains(QFileInfo(f).completeBaseName()))
            QFile::remove(dir.filePath(f));
}

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class ShellLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void widthsAndCaptionsFollowTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("quarter");
        QTest::addColumn<int>("sixth");
        QTest::addColumn<QList<int>>("captions");
        QTest::newRow("400") << 400 << 100 << 67 << QList<int>{11, 11, 11, 11};
        QTest::newRow("500") << 500 << 125 << 83 << QList<int>{11, 11, 11, 11};
        QTest::newRow("501") << 501 << 125 << 84 << QList<int>{16, 16, 16, 13};
        QTest::newRow("506: halves to even") << 506 << 126 << 84 << QList<int>{16, 16, 16, 13};
        QTest::newRow("768") << 768 << 192 << 128 << QList<int>{16, 16, 16, 13};
        QTest::newRow("1001") << 1001 << 250 << 167 << QList<int>{21, 20, 20, 16};
        QTest::newRow("1501") << 1501 << 375 << 250 << QList<int>{26, 24, 24, 19};
    }
    void widthsAndCaptionsFollowTheWidth() {
        QFETCH(int, width);
        QFETCH(int, quarter);
        QFETCH(int, sixth);
        QFETCH(QList<int>, captions);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->TabControl1->resize(width, 700);
        w->TabControl1Resize();
        for (QWidget* c : std::initializer_list<QWidget*>{
                 w->Fuenferodersechser, w->BesOft, w->BesSelten, w->Ueberfaellig, w->UeLetzte, w->Uevorletzte,
                 w->UeVorVorletzte, w->MinUeber, w->MaxUeber, w->QuerMin, w->QuerMax, w->gerade, w->Ungerade,
                 w->Primzahlen, w->MaxBerechnungsanzahl, w->GlueckszahlEdit, w->Anzahl, w->Button1,
                 w->MaxLauf}) {
            QCOMPARE(c->minimumWidth(), quarter);
            QCOMPARE(c->maximumWidth(), quarter);
        }
        QCOMPARE(w->DreioderVier->maximumWidth(), sixth);
        QCOMPARE(w->DreioderVierWochen->minimumWidth(), sixth);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->tabCaptionSize(i), captions[i]);
    }

    // At the narrowest width the bold caption of the dark look still fits its quarter.
    void calculateFitsAtTheSmallestWidthInEveryStyle() {
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        TKugelwerk* w = fx.create();
        w->PruneStyleList();
        for (const QString& style : {QStringLiteral("Dark"), QStringLiteral("Light")}) {
            w->ComboBox1->setCurrentText(style);
            w->Button8Click();
            w->resize(w->minimumSizeHint().width(), 640);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            w->TabControl1Resize();
            QFont bold = w->Button1->font();
            bold.setBold(true);
            const int text = QFontMetrics(bold).horizontalAdvance(QStringLiteral("Calculate"));
            QVERIFY2(text + 28 <= w->Button1->width(), qPrintable(QStringLiteral("%1: %2 px of text in %3 px")
                                                                      .arg(style)
                                                                      .arg(text)
                                                                      .arg(w->Button1->width())));
            w->resize(768, 1004);
            w->TabControl1Resize();
            QCOMPARE(w->Button1->font().pointSize(), 15); // the design size where it fits
            w->hide();
        }
    }

    void designSizeLaysOutAsDesigned() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->resize(768, 1004);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->TabControl1->width(), 768);
        QCOMPARE(w->Anzahl->width(), 192);
        QCOMPARE(w->DreioderVier->width(), 128);
        QCOMPARE(w->TabControl1->tabBar()->height(), 49);
        // The four tabs share the strip's width.
        for (int i = 0; i < 4; ++i)
            QVERIFY(qAbs(w->TabControl1->tabBar()->tabRect(i).width() - 192) <= 1);
        QVERIFY(w->TabControl1->tabBar()->geometry().top() >
                w->TabControl1->height() / 2); // strip at the bottom
        w->hide();
    }

    void swipesMoveBetweenTheMainTabsOnly_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("gesture");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("handled");
        QTest::newRow("left on tips") << 0 << 1 << 1 << true;
        QTest::newRow("left on Info") << 3 << 1 << 3 << true;
        QTest::newRow("right on chart") << 2 << 2 << 1 << true;
        QTest::newRow("right on tips") << 0 << 2 << 0 << true;
        QTest::newRow("other gesture") << 1 << 5 << 1 << false;
    }
    void swipesMoveBetweenTheMainTabsOnly() {
        QFETCH(int, start);
        QFETCH(int, gesture);
        QFETCH(int, after);
        QFETCH(bool, handled);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->TabControl1->setCurrentIndex(start);
        w->TabControl2->setCurrentIndex(1);
        bool h = false;
        w->FormGesture(gesture, h);
        QCOMPARE(w->TabControl1->currentIndex(), after);
        QCOMPARE(h, handled);
        QCOMPARE(w->TabControl2->currentIndex(), 1);
    }

    void styleListKeepsOnlyStylesWithFiles_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("selected");
        QTest::newRow("stored style present")
            << QStringList{"Dark", "Jet"} << "Dark" << QStringList{"kein Style", "Dark", "Jet"} << "Dark";
        QTest::newRow("letter case and blanks")
            << QStringList{"Dark", "Jet"} << "  jET " << QStringList{"kein Style", "Dark", "Jet"} << "Jet";
        QTest::newRow("stored style missing")
            << QStringList{"Jet"} << "Dark" << QStringList{"kein Style", "Jet"} << "kein Style";
        QTest::newRow("no style files")
            << QStringList{} << "no Style" << QStringList{"kein Style"} << "kein Style";
    }
    void styleListKeepsOnlyStylesWithFiles() {
        QFETCH(QStringList, files);
        QFETCH(QString, stored);
        QFETCH(QStringList, list);
        QFETCH(QString, selected);
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        keepOnlyStyles(fx.home(), files);
        TKugelwerk* w = fx.create();
        w->StyleBook1.styleName = stored;
        w->PruneStyleList();
        w->SelectStoredStyle();
        QCOMPARE(items(w->ComboBox1), list);
        QCOMPARE(w->ComboBox1->currentText(), selected);
    }

    // Loading a style restyles at once, is remembered, and comes back at the next start.
    void loadStyleApplyRememberAndReturnToDefault() {
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        QVERIFY2(QFile::exists(fx.home() + QStringLiteral("Dark.style")),
                 "the built style files are missing");
        TKugelwerk* w = fx.create();
        w->PruneStyleList();
        w->ComboBox1->setCurrentText(QStringLiteral("Dark"));
        w->Button8Click();
        QCOMPARE(w->StyleBook1.styleName, QStringLiteral("Dark"));
        QCOMPARE(w->StyleBook1.fileName, fx.home() + QStringLiteral("Dark.style"));
        QVERIFY(w->styleSheet().contains(QStringLiteral("QTabBar")));
        // Pictures the style names are found beside the style file, not in the working folder.
        QVERIFY(w->styleSheet().contains(QStringLiteral("url(\"%1arrow_light.png\")").arg(fx.home())));
        QCOMPARE(w->currentStyleSheet(), w->styleSheet());
        QCOMPARE(fx.editor()->styleSheet(), w->styleSheet());
        w->SaveSettings();

        TKugelwerk again(fx.home());
        again.LoadSettings();
        again.PruneStyleList();
        again.SelectStoredStyle();
        QCOMPARE(again.ComboBox1->currentText(), QStringLiteral("Dark"));
        QCOMPARE(again.styleSheet(), w->styleSheet());

        // The file vanished after start-up: the message, and the look stays.
        QVERIFY(QFile::remove(fx.home() + QStringLiteral("Jet.style")));
        w->ComboBox1->setCurrentText(QStringLiteral("Jet"));
        w->Button8Click();
        QCOMPARE(fx.messages, QStringList{QStringLiteral("Can not find this style")});
        QCOMPARE(w->StyleBook1.styleName, QStringLiteral("Dark"));
        QCOMPARE(w->currentStyleSheet(), again.styleSheet());

        w->ComboBox1->setCurrentIndex(0);
        w->Button8Click();
        QCOMPARE(w->StyleBook1.styleName, QStringLiteral("no Style"));
        QVERIFY(w->StyleBook1.fileName.isEmpty());
        QVERIFY(w->styleSheet().isEmpty());
        w->SaveSettings();
        kw::IniFile ini;
        ini.load(w->IniDateiName);
        QCOMPARE(ini.value(u"Einstellungen", u"Style"), QString());
        QCOMPARE(ini.value(u"Einstellungen", u"StyleName"), QStringLiteral("no Style"));
    }

    // The stored path is absolute; a program folder that moved still finds its style, and a
    // style that is gone leaves the default look without stopping the start.
    void storedStyleFromAMovedOrEmptiedFolder() {
        kwtest::Fixture fx;
        kwtest::copyAssets(fx.home());
        TKugelwerk* w = fx.create();
        QFile ini(w->IniDateiName);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Einstellungen]\nStyle=/old/place/Dark.style\nStyleName=Dark\n");
        ini.close();
        w->LoadSettings();
        QCOMPARE(w->StyleBook1.fileName, fx.home() + QStringLiteral("Dark.style"));
        QVERIFY(!w->styleSheet().isEmpty());

        QVERIFY(QFile::remove(fx.home() + QStringLiteral("Dark.style")));
        TKugelwerk again(fx.home());
        again.LoadSettings();
        QCOMPARE(again.StyleBook1.fileName,
                 QStringLiteral("/old/place/Dark.style")); // kept for the next start
        QVERIFY(again.styleSheet().isEmpty());
        QVERIFY(fx.messages.isEmpty());
    }

    void webButtonOpensTheProductPage() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QStringList opened;
        kw::Shell::setOpener([&](const QString& path) { opened << path; });
        w->Button6->click();
        kw::Shell::setOpener({});
        QCOMPARE(opened, QStringList{TKugelwerk::productSite() + QStringLiteral("lottoau.htm")});
        QCOMPARE(w->Button6->text(), TKugelwerk::productSite());
    }

    // Controls without a visible text are named for screen readers by their on-screen description.
    void controlsWithoutTextHaveAccessibleNames() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QCOMPARE(w->Anzahl->accessibleName(), QStringLiteral("quantity"));
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool textless =
                qobject_cast<QSlider*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                (qobject_cast<QAbstractButton*>(c) && static_cast<QAbstractButton*>(c)->text().isEmpty());
            if (textless && !c->objectName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")) &&
                c != w->Button4)
                QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
        }
    }
};

QTEST_MAIN(ShellLayoutTest)
#include "shell_layout_test.moc"
