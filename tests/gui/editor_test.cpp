#include "GuiTestUtil.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QtTest>

namespace {

const QString kButton = QStringLiteral("TListItemTextButton");
const QString kEight = QStringLiteral("It must be 8 numbers!");

/** A main window and its editor with the list built for `rows` tips and the seed draw of 09.08.2015 on
 * display. */
struct Editing {
    kwtest::Fixture fx;
    TKugelwerk* w;
    TTippauswahl* ed;
    explicit Editing(int rows = 6) {
        w = fx.create();
        ed = fx.editor();
        kwtest::ensureBalls(fx.home());
        w->Zahl = {0, 3, 4, 7, 11, 15, 23, 27, 31, 36, 37};
        w->Anzahl->setMaximum(96);
        w->Anzahl->setValue(rows);
        w->Button4Click();
    }
    void setRow(int row, const QStringList& cells) {
        for (int c = 1; c <= 8; ++c)
            w->TippsSetValue(c, row, c <= cells.size() ? cells[c - 1] : QString());
    }
    QStringList row(int r) const {
        QStringList out;
        for (int c = 1; c <= 8; ++c)
            out << w->Tippreihen[c][r];
        return out;
    }
    void open(int row) { w->ListView1ButtonClick(row, kButton); }
    TCircle* ball(int n) const { return ed->auswahlKreis()[size_t(n)]; }
    void click(int n) { ed->AuswahlClick(ball(n)); }
    QList<int> selected() const {
        QList<int> out;
        for (int n = 1; n <= 37; ++n)
            if (ball(n)->strokeThickness() > 0)
                out << n;
        return out;
    }
    /** Lets the queued hiding notice run, well within one tick of Timer1. */
    static void settle() { QCoreApplication::processEvents(); }
};

QStringList numbers(std::initializer_list<int> ns) {
    QStringList out;
    for (int n : ns)
        out << QString::number(n);
    return out;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void openingMarksTheTipOnTheGrid_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<bool>("zufall");
        QTest::newRow("empty row") << QStringList() << QList<int>() << true;
        QTest::newRow("full tip") << numbers({2, 5, 9, 13, 17, 21, 30, 37})
                                  << QList<int>{2, 5, 9, 13, 17, 21, 30, 37} << false;
        // 40 has no picture and no ball: that position marks nothing and does not count.
        QTest::newRow("cell with 40")
            << numbers({1, 2, 3, 4, 5, 6, 7, 40}) << QList<int>{1, 2, 3, 4, 5, 6, 7} << true;
        QTest::newRow("not a number") << (numbers({1, 2, 3, 4, 5, 6, 7}) << QStringLiteral("x"))
                                      << QList<int>{1, 2, 3, 4, 5, 6, 7} << true;
        // One ball for the doubled number, but both positions count.
        QTest::newRow("number twice")
            << numbers({1, 2, 3, 4, 5, 6, 7, 7}) << QList<int>{1, 2, 3, 4, 5, 6, 7} << false;
    }
    void openingMarksTheTipOnTheGrid() {
        QFETCH(QStringList, cells);
        QFETCH(QList<int>, marked);
        QFETCH(bool, zufall);
        Editing e;
        e.setRow(2, cells);
        e.open(2);
        QVERIFY(e.ed->isVisible());
        QVERIFY(e.w->Timer1->isActive());
        QCOMPARE(e.ed->Tippnummer, 2);
        QCOMPARE(e.selected(), marked);
        for (int n : marked)
            QCOMPARE(e.ball(n)->strokeColor().rgba(), 0xFF0000FFu);
        QCOMPARE(e.ed->Zufall->isEnabled(), zufall);
        QCOMPARE(e.ed->aktuellerTipp[9], 36);
        QCOMPARE(e.ed->aktuellerTipp[10], 37);
    }

    void tipRowShowsHitsAndSupplementaryNumbers() {
        Editing e;
        e.setRow(0, numbers({3, 4, 7, 11, 1, 2, 5, 36}));
        e.w->Komplettcheck(); // marks: 3, 4, 7, 11 hit; the first supplementary number held
        e.open(0);
        const auto& tip = e.ed->tempKreis();
        // The check stored the tip sorted: 1 2 3 4 5 7 11 36.
        QCOMPARE(tip[1]->strokeThickness(), 0.0);
        QCOMPARE(tip[3]->strokeThickness(), 3.0);
        QCOMPARE(tip[3]->strokeColor().rgba(), 0xFF0000FFu);
        QCOMPARE(tip[8]->strokeThickness(), 3.0);
        QCOMPARE(tip[8]->strokeColor().rgba(), 0xFFFF0000u);
        QVERIFY(tip[8]->bitmapFile().endsWith(QStringLiteral("zahl36.png")));
        QVERIFY(!tip[0]->isVisible());
    }

    void aDoubledNumberLetsAnEighthBallInButNeverANinth() {
        Editing e;
        e.setRow(1, numbers({1, 2, 3, 4, 5, 6, 7, 7}));
        e.open(1);
        e.click(20);
        QCOMPARE(e.selected().size(), 8);
        QCOMPARE(e.ball(20)->strokeColor().rgba(), 0xFF008000u); // a click keeps the ring colour
        QVERIFY(!e.ed->Zufall->isEnabled());
        e.click(30);
        QCOMPARE(e.ed->Label1->text(), kEight);
        QVERIFY(!e.selected().contains(30));
        e.click(20); // deselecting is always possible and clears the message
        QVERIFY(e.ed->Label1->text().isEmpty());
        QVERIFY(e.ed->Zufall->isEnabled());
        e.click(20);
        e.ed->Button2Click();
        QVERIFY(!e.ed->isVisible());
        Editing::settle();
        QCOMPARE(e.row(1), numbers({1, 2, 3, 4, 5, 6, 7, 20}));
    }

    // The whole edit lies between two ticks of Timer1: the hiding itself brings the result home.
    void aQuickAcceptIsWrittenBackAscendingAndChecked() {
        Editing e;
        e.setRow(5, numbers({30, 31, 32, 33, 34, 35, 36, 37}));
        e.open(5);
        for (int n : e.selected())
            e.click(n);
        for (int n : {8, 3, 1, 7, 2, 4, 6})
            e.click(n);
        e.ed->Button2Click();
        QCOMPARE(e.ed->Label1->text(), kEight); // seven: the window stays open
        QVERIFY(e.ed->isVisible());
        e.click(5);
        e.ed->Button2Click();
        QVERIFY(!e.ed->isVisible());
        Editing::settle();
        QCOMPARE(e.row(5), numbers({1, 2, 3, 4, 5, 6, 7, 8}));
        QVERIFY(!e.w->Timer1->isActive());
        QVERIFY(!e.w->KorrekturTip);
        // 3, 4 and 7 are drawn: the check ran and the list shows three hits.
        QCOMPARE(int(e.w->Gewonnen_Zahlen[3][5]), 1);
        QVERIFY(e.w->ListView1->item(5)->text().endsWith(QStringLiteral("     3")));
    }

    void zufallAddsOneFreeNumberPerPress() {
        Editing e;
        e.open(0);
        for (int i = 0; i < 8; ++i)
            e.ed->ZufallClick();
        QCOMPARE(e.selected().size(), 8);
        QVERIFY(!e.ed->Zufall->isEnabled());
        QVERIFY(e.ed->Label1->text().isEmpty());
    }

    void cancelWritesNothingButChecksAllTips() {
        Editing e;
        e.setRow(3, numbers({31, 3, 27, 4, 23, 7, 15, 11}));
        e.open(3);
        e.click(31);
        e.click(1);
        e.ed->Button1Click();
        QCOMPARE(e.ed->Tippnummer, 999);
        Editing::settle();
        // Not written back, but checked: sorted, eight hits, a winner in the list.
        QCOMPARE(e.row(3), numbers({3, 4, 7, 11, 15, 23, 27, 31}));
        QCOMPARE(int(e.w->Gewonnen_Zahlen[11][3]), 1);
        QVERIFY(e.w->ListView1->item(3)->text().endsWith(QStringLiteral("     8")));
    }

    void closingTheWindowWritesBackWhatWasOpened() {
        Editing e;
        e.setRow(4, numbers({9, 8, 7, 6, 5, 4, 3}) << QString());
        e.open(4);
        e.click(20);
        e.ed->close();
        Editing::settle();
        QCOMPARE(e.row(4), numbers({0, 3, 4, 5, 6, 7, 8, 9}));
    }

    void theTimerStillTakesBackAnEditItHasSeenOpen() {
        Editing e;
        e.setRow(0, numbers({1, 2, 3, 4, 5, 6, 7, 8}));
        e.open(0);
        QVERIFY(!e.w->KorrekturTip); // opened, not yet seen open
        QVERIFY(e.w->Timer1->isActive());
        e.w->Timer1Timer(); // a tick finds the editor open
        QVERIFY(e.w->KorrekturTip);
        e.click(1);
        e.click(9);
        e.ed->Button2Click();
        e.w->Timer1Timer(); // the next tick, before the hiding notice came through
        QCOMPARE(e.row(0), numbers({2, 3, 4, 5, 6, 7, 8, 9}));
        QVERIFY(!e.w->Timer1->isActive());
        e.setRow(0, numbers({1, 2, 3, 4, 5, 6, 7, 8}));
        Editing::settle(); // the late notice finds nothing left to do
        QCOMPARE(e.row(0), numbers({1, 2, 3, 4, 5, 6, 7, 8}));
    }

    void reopeningDropsTheFirstRowsChanges() {
        Editing e;
        e.setRow(0, numbers({1, 2, 3, 4, 5, 6, 7, 8}));
        e.setRow(1, numbers({11, 12, 13, 14, 15, 16, 17, 18}));
        e.open(0);
        e.click(1);
        e.click(20);
        e.open(1);
        QCOMPARE(e.selected(), (QList<int>{11, 12, 13, 14, 15, 16, 17, 18}));
        e.ed->Button1Click();
        Editing::settle();
        QCOMPARE(e.row(0), numbers({1, 2, 3, 4, 5, 6, 7, 8}));
    }

    void layoutFollowsTheWindowShape_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("ball");
        QTest::newRow("initial") << QSize(360, 615) << 7 << 40;
        QTest::newRow("wide") << QSize(1000, 615) << 17 << 50;       // grid 1000 x 429
        QTest::newRow("tall narrow") << QSize(360, 1000) << 5 << 54; // grid 360 x 814
        QTest::newRow("square-ish") << QSize(500, 560) << 10 << 40;  // grid 500 x 374
    }
    void layoutFollowsTheWindowShape() {
        QFETCH(QSize, size);
        QFETCH(int, columns);
        QFETCH(int, ball);
        Editing e;
        e.open(0);
        e.ed->resize(size);
        QCOMPARE(e.ed->Panel3->size(), QSize(size.width(), 89));
        QCOMPARE(e.ed->Panel2->size(), QSize(size.width(), size.height() - 89 - 57 - 40));
        QCOMPARE(e.ed->Panel1->geometry(), QRect(10, size.height() - 77, size.width() - 20, 57));
        QCOMPARE(e.ed->Label1->geometry(), QRect(0, e.ed->Panel2->height() - 23, size.width(), 23));
        QCOMPARE(e.ball(1)->geometry(), QRect(10, 0, ball, ball));
        QCOMPARE(e.ball(2)->geometry().left(), 10 + ball + 5);
        // The first ball of the second row: columns across, rows touching.
        QCOMPARE(e.ball(columns + 1)->geometry(), QRect(10, ball, ball, ball));
        QCOMPARE(e.ball(columns)->geometry().top(), 0);
        for (int n = 1; n <= 37; ++n)
            QVERIFY2(e.ed->Panel2->rect().contains(e.ball(n)->geometry()), qPrintable(QString::number(n)));
    }

    void initialTipRow() {
        Editing e;
        e.open(0);
        const auto& tip = e.ed->tempKreis();
        QList<int> xs;
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(tip[size_t(k)]->geometry().size(), QSize(32, 32));
            QCOMPARE(tip[size_t(k)]->geometry().top(), 10);
            xs << tip[size_t(k)]->geometry().left();
        }
        QCOMPARE(xs, (QList<int>{16, 53, 90, 127, 164, 201, 238, 275}));
        QCOMPARE(e.ed->Zufall->size(), QSize(73, 58));
    }

    void keysOpeningAndPlaceMakeItAnOrdinaryDialog() {
        Editing e;
        e.w->resize(500, 400);
        e.w->move(150, 60);
        e.w->show();
        e.ed->resize(360, 300);
        e.setRow(0, numbers({1, 2, 3, 4, 5, 6, 7, 8}));
        e.open(0);
        // Centred over the main window, and wholly on the screen.
        QVERIFY((e.ed->frameGeometry().center() - e.w->frameGeometry().center()).manhattanLength() <= 2);
        e.ed->hide();
        e.settle();
        e.w->move(-200, 0); // the main window's middle is off to the left
        e.open(0);
        QVERIFY(e.w->screen()->availableGeometry().contains(e.ed->frameGeometry()));
        // An earlier opening's message is gone at the next opening.
        e.ed->Button2->click(); // eight numbers: accepted and hidden
        e.settle();
        e.open(1);
        e.ed->Button2->click(); // empty row: "It must be 8 numbers!"
        QVERIFY(!e.ed->Label1->text().isEmpty());
        e.ed->hide();
        e.settle();
        e.open(0);
        QVERIFY(e.ed->Label1->text().isEmpty());
        // Escape is Abbrechen.
        QTest::keyClick(e.ed, Qt::Key_Escape);
        QVERIFY(!e.ed->isVisible());
        QCOMPARE(e.ed->Tippnummer, 999);
        e.settle();
        // Enter is Übernehmen, the default button.
        e.open(0);
        QVERIFY(e.ed->Button2->isDefault());
        e.click(8);
        e.click(9);
        QTest::keyClick(e.ed, Qt::Key_Return);
        QVERIFY(!e.ed->isVisible());
        QCOMPARE(e.ed->aktuellerTipp[8], 9);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
