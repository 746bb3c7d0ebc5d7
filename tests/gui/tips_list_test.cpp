#include "GuiTestUtil.h"

#include "draws/HistoryFile.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

using kwtest::setTip;
constexpr const kw::DrawNumbers& kDraw = kwtest::kSeedDraw09Aug;

QPoint textPoint(TTipListView* list, int row) {
    const QRect r = list->visualItemRect(list->item(row));
    return QPoint(r.left() + r.width() / 3, r.center().y());
}

} // namespace

class TipsListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kwtest::Fixture> fx;
    TKugelwerk* w = nullptr;

private slots:
    void init() {
        fx = std::make_unique<kwtest::Fixture>();
        w = fx->create();
        w->Anzahl->setMaximum(96);
        w->Zahl = kDraw;
    }
    void cleanup() { fx.reset(); }

    void rebuildShowsTextPicturesAndMarks() {
        w->Anzahl->setValue(4);
        setTip(w, 0, {"3", "7", "12", "18", "22", "29", "33", "37"});
        w->Gewonnen_Zahlen[2][0] = w->Gewonnen_Zahlen[5][0] = w->Gewonnen_Zahlen[9][0] = 1;
        w->Gewonnen_Zahlen[11][1] = 1; // wins and failed the filters: the star wins
        w->Test_Zahlen[1] = w->Test_Zahlen[2] = true;
        w->TippsSetValue(0, 2, true);
        w->TippsSetValue(0, 4, true); // beyond the tips in use
        w->Button1->setText(QStringLiteral("Stoppen"));
        w->Button4Click();

        QCOMPARE(w->ListView1->count(), 4);
        QCOMPARE(w->ListView1->item(0)->text(), QStringLiteral("  3    7  12  18  22  29  33  37       2+1"));
        QCOMPARE(w->ListView1->item(3)->text(), QString(37, QLatin1Char(' ')) + QLatin1Char('0'));
        const QStringList pictures{QString(), fx->home() + QStringLiteral("stern.png"),
                                   fx->home() + QStringLiteral("Stop32.png"), QString()};
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(w->ListView1->pictureOf(r), pictures[r]);
            QCOMPARE(w->ListView1->isChecked(r), r == 2);
            QCOMPARE(w->ListView1->buttonTextOf(r), QStringLiteral("show/edit"));
        }
        QVERIFY(w->ListView1->alternatingRowColors());

        w->Button1->setText(QStringLiteral("Calculate")); // the run is over: no stop picture
        w->Button4Click();
        QCOMPARE(w->ListView1->pictureOf(2), QString());
        QCOMPARE(w->ListView1->pictureOf(1), fx->home() + QStringLiteral("stern.png"));
    }

    void itemHeightFollowsTheListAndManyTipsScroll() {
        KugelwerkTestAccess::skipFirstShow(w);
        w->resize(768, 1004);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const int listHeight = w->ListView1->height();
        QVERIFY2(listHeight > 500, "the tips tab gives the list most of its height");

        w->Anzahl->setValue(1);
        w->Button4Click();
        QCOMPARE(w->ListView1->itemHeight(0), 50);

        w->Anzahl->setValue(96);
        w->Button4Click();
        QCOMPARE(w->ListView1->count(), 96);
        QCOMPARE(w->ListView1->itemHeight(95), 30);
        QTRY_VERIFY(w->ListView1->verticalScrollBar()->maximum() > 600);

        // A new window size gives the rows the height for the list's new size.
        w->Anzahl->setValue(20);
        w->Button4Click();
        QCOMPARE(w->ListView1->itemHeight(0), kw::tipItemHeight(listHeight, 20));
        w->resize(1280, 800);
        QTRY_VERIFY(w->ListView1->height() < listHeight - 100);
        QCOMPARE(w->ListView1->itemHeight(19), kw::tipItemHeight(w->ListView1->height(), 20));
        w->resize(768, 1004);
        w->Anzahl->setValue(96);
        w->Button4Click();
        QTRY_VERIFY(w->ListView1->verticalScrollBar()->maximum() > 600);

        // A rebuild (as during a calculation) keeps the place the user scrolled to.
        w->ListView1->verticalScrollBar()->setValue(600);
        w->Button4Click();
        QCOMPARE(w->ListView1->verticalScrollBar()->value(), 600);
    }

    void clicksToggleFlagsOnlyInEditModeAndTheButtonIsSeparate() {
        KugelwerkTestAccess::skipFirstShow(w);
        w->resize(768, 1004);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->Anzahl->setValue(3);
        setTip(w, 1, {"1", "2", "3", "4", "5", "6", "7", "8"});
        w->TippsSetValue(0, 1, true);
        w->Button4Click();
        TTipListView* list = w->ListView1;
        QSignalSpy buttons(list, &TTipListView::buttonClick);
        QWidget* vp = list->viewport();

        QTest::mouseClick(vp, Qt::LeftButton, {}, textPoint(list, 1));
        QVERIFY(w->Tippreihe1[1]); // outside edit mode nothing changes

        w->Switch1->setChecked(true); // edit mode on: rebuilt with the current flags
        QVERIFY(list->editMode());
        QVERIFY(list->isChecked(1) && !list->isChecked(0));
        QTest::mouseClick(vp, Qt::LeftButton, {}, textPoint(list, 1));
        QVERIFY(!w->Tippreihe1[1]);
        QVERIFY(!list->isChecked(1));
        QTest::mouseClick(vp, Qt::LeftButton, {}, textPoint(list, 1));
        QVERIFY(w->Tippreihe1[1]);
        QVERIFY(list->isChecked(1));
        QCOMPARE(buttons.count(), 0);

        // The row's button: a press and release on it is a button press, never a toggle.
        const QPoint button = list->buttonRect(2).center();
        QVERIFY(list->visualItemRect(list->item(2)).contains(button));
        QTest::mouseClick(vp, Qt::LeftButton, {}, button);
        QCOMPARE(buttons.count(), 1);
        QCOMPARE(buttons.at(0).at(0).toInt(), 2);
        QCOMPARE(buttons.at(0).at(1).toString(), QStringLiteral("TListItemTextButton"));
        QVERIFY(!w->Tippreihe1[2]);
        // Pressed on the button, released beside it: nothing at all.
        QTest::mousePress(vp, Qt::LeftButton, {}, button);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, textPoint(list, 2));
        QCOMPARE(buttons.count(), 1);
        QVERIFY(!w->Tippreihe1[2]);

        // Switching off does not rebuild: the list keeps showing what it showed.
        setTip(w, 0, {"9", "10", "11", "12", "13", "14", "15", "16"});
        w->Switch1->setChecked(false);
        QVERIFY(!list->editMode());
        QCOMPARE(list->item(0)->text(), QString(37, QLatin1Char(' ')) + QLatin1Char('0'));
    }

    void checkPlaysOneSoundForAnyWinAndAlwaysRebuilds() {
        w->Anzahl->setValue(3);
        setTip(w, 0, {"31", "3", "27", "4", "23", "7", "15", "11"}); // eight hits
        setTip(w, 1, {"3", "4", "7", "11", "1", "2", "5", "36"});    // four and a supplementary number
        setTip(w, 2, {"3", "4", "1", "2", "5", "6", "8", "9"});      // two hits
        w->Button4Click();

        QCOMPARE(w->Komplettcheck(), 8);
        QCOMPARE(fx->soundsPlayed, QStringList{w->SoundName});
        QCOMPARE(w->Gewinn, uint8_t(2)); // the fields hold the last tip checked
        QCOMPARE(w->ListView1->item(0)->text(), QStringLiteral("  3    4    7  11  15  23  27  31       8"));
        QCOMPARE(w->ListView1->pictureOf(1), fx->home() + QStringLiteral("stern.png"));
        QCOMPARE(w->ListView1->pictureOf(2), QString());

        // No win: no sound, and the list still shows the new marks.
        fx->soundsPlayed.clear();
        w->Zahl = {0, 20, 21, 22, 24, 25, 26, 28, 29, 30, 32};
        QCOMPARE(w->Komplettcheck(), 0);
        QVERIFY(fx->soundsPlayed.isEmpty());
        QCOMPARE(w->ListView1->pictureOf(0), QString());
        QVERIFY(w->ListView1->item(0)->text().endsWith(QStringLiteral("     0")));

        // A player that fails must not stop the check.
        w->Zahl = kDraw;
        kw::Sound::setPlayer([](const QString&) { throw std::runtime_error("no sound device"); });
        QCOMPARE(w->Komplettcheck(), 8);
        QCOMPARE(w->ListView1->pictureOf(0), fx->home() + QStringLiteral("stern.png"));
        QVERIFY(fx->messages.isEmpty());
    }

    void checkCoversTheRowsOfTheListAsLastBuilt() {
        w->Anzahl->setValue(2);
        for (int r = 0; r < 3; ++r)
            setTip(w, r, {"31", "3", "27", "4", "23", "7", "15", "11"});
        // A list that was never built has no items: nothing is checked, then the list is built.
        QCOMPARE(w->ListView1->count(), 0);
        QCOMPARE(w->Komplettcheck(), 0);
        QCOMPARE(w->Tippreihen[1][0], QStringLiteral("31"));
        QCOMPARE(w->ListView1->count(), 2);

        QCOMPARE(w->Komplettcheck(), 8);
        for (int r = 0; r < 2; ++r) {
            QCOMPARE(w->ListView1->item(r)->text(),
                     QStringLiteral("  3    4    7  11  15  23  27  31       8"));
            QCOMPARE(w->ListView1->pictureOf(r), fx->home() + QStringLiteral("stern.png"));
        }
        QCOMPARE(w->Tippreihen[1][2], QStringLiteral("31")); // not in use: not checked
        QCOMPARE(w->Gewonnen_Zahlen[11][2], uint8_t(0));

        // A raised tips count joins the check once the list has been rebuilt with it.
        w->Anzahl->setValue(3);
        w->Komplettcheck();
        QCOMPARE(w->Tippreihen[1][2], QStringLiteral("31"));
        w->Komplettcheck();
        QCOMPARE(w->Tippreihen[1][2], QStringLiteral("3"));
        QCOMPARE(w->ListView1->pictureOf(2), fx->home() + QStringLiteral("stern.png"));
    }

    void aCellThatIsNotANumberStopsTheCheckVisibly() {
        w->Anzahl->setValue(3);
        setTip(w, 0, {"31", "3", "27", "4", "23", "7", "15", "11"});
        setTip(w, 1, {"1", "2", "x", "4", "5", "6", "7", "8"});
        setTip(w, 2, {"3", "4", "7", "11", "15", "23", "27", "31"});
        w->Button4Click();

        QVERIFY_THROWS_EXCEPTION(kw::CellError, w->Komplettcheck());
        // Rows before keep their marks, and the list shows the table as the check left it.
        QCOMPARE(w->ListView1->item(0)->text(), QStringLiteral("  3    4    7  11  15  23  27  31       8"));
        QCOMPARE(w->ListView1->pictureOf(0), fx->home() + QStringLiteral("stern.png"));
        QCOMPARE(w->Gewonnen_Zahlen[11][2], uint8_t(0));
        QVERIFY(fx->soundsPlayed.isEmpty());

        // On the user's path (a picked day) the error report names the tip.
        kw::HistoryFile::createSeeded(w->ZahlenFile);
        w->DateTimePicker1->setDate(QDate(2015, 8, 9));
        emit w->DateTimePicker1->closePopup();
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY2(fx->messages[0].startsWith(QStringLiteral("Tip 2, number 3 (\"x\") is not a number.")),
                 qPrintable(fx->messages[0]));
        QCOMPARE(w->Datum1, 42225.0);
    }
};

QTEST_MAIN(TipsListTest)
#include "tips_list_test.moc"
