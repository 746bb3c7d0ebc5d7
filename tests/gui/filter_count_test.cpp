// The options tab counts the tips that can pass, and Calculate refuses a job no tip can pass.
#include "GuiTestUtil.h"
#include "core/TestUtil.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

class FilterCountTest : public QObject {
    Q_OBJECT
private slots:
    void countShowsTheBlockingFilterAndCalculateRefuses() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        // 4,000 daily draws: with the design value 5, every tip shares five numbers with one of them.
        const std::vector<kw::TZiehung> h = kwtest::dailyDraws(4000, 4000);
        kwtest::writeHistory(w->ZahlenFile, h);
        w->CalendarEdit1->setDay(h.front().Ziehungsdatum);
        w->DateTimePicker1->setDay(h.back().Ziehungsdatum);
        w->DateTimePicker1ClosePopup();
        auto* count = w->findChild<QLabel*>(QStringLiteral("FilterCount"));
        QVERIFY(count);
        QTRY_VERIFY_WITH_TIMEOUT(
            count->text().startsWith(QStringLiteral("0 of 38,608,020 tips pass your filters")), 30000);
        QVERIFY2(count->text().contains(QStringLiteral("'Do not have an X in all previous draws' = 5")),
                 qPrintable(count->text()));

        // The table says what each filter removes.
        auto* table = w->findChild<QLabel*>(QStringLiteral("FilterTable"));
        QVERIFY(table && table->isHidden());
        w->findChild<QToolButton*>(QStringLiteral("FilterBreakdown"))->click();
        QVERIFY(!table->isHidden());
        QVERIFY(table->text().contains(QStringLiteral("Do not have an X in all previous draws")));
        QVERIFY(table->text().contains(QStringLiteral("the start date on the chart tab: 3,999 draws")));

        // Calculate does not start: the tips marked for a new calculation stay as they are.
        const QStringList kept{"1", "2", "3", "4", "5", "6", "7", "8"};
        for (int c = 1; c <= 8; ++c)
            w->TippsSetValue(c, 0, kept[c - 1]);
        w->TippsSetValue(0, 0, true);
        w->Button1Click();
        QVERIFY2(w->Status->text().startsWith(QStringLiteral(
                     "No tip can pass: 'Do not have an X in all previous draws' = 5 rejects all "
                     "tips over the 3,999 draws since ")),
                 qPrintable(w->Status->text()));
        QVERIFY(w->Status->text().contains(QStringLiteral("Raise it to 6")));
        QCOMPARE(kwtest::tipOf(*w, 0), kept.join(u','));
        QVERIFY(w->Tippreihe1[0]);
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QVERIFY(!w->runRunning());

        // One more shared number allowed: tips pass, and the count says how many.
        w->Fuenferodersechser->setValue(6);
        QCOMPARE(count->text(), QStringLiteral("counting…"));
        QTRY_VERIFY_WITH_TIMEOUT(!count->text().startsWith(QStringLiteral("counting")), 30000);
        QVERIFY2(!count->text().startsWith(QStringLiteral("0 of")), qPrintable(count->text()));
        QVERIFY(count->text().contains(QStringLiteral(" of 38,608,020 tips pass your filters (")));

        // Changes while a count runs cancel it; only the count of the last setting is shown.
        const QString atSix = count->text();
        for (int v : {7, 5, 8, 6}) {
            w->Fuenferodersechser->setValue(v);
            QTest::qWait(200);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!count->text().startsWith(QStringLiteral("counting")), 30000);
        QCOMPARE(count->text(), atSix);

        // A change that comes back to what was counted, as a run's lookups do, counts nothing anew.
        auto* panel = count->parentWidget();
        QSignalSpy counted(panel, SIGNAL(counted()));
        QVERIFY(counted.isValid());
        w->DateTimePicker1->setDay(h.back().Ziehungsdatum - 1);
        w->DateTimePicker1->setDay(h.back().Ziehungsdatum);
        QTRY_COMPARE_WITH_TIMEOUT(count->text(), atSix, 5000);
        QTest::qWait(400);
        QCOMPARE(counted.count(), 0);
        QCOMPARE(count->text(), atSix);

        // So does a whole run: the line holds still while the run looks up the draws before.
        w->Button1Click();
        QCOMPARE(count->text(), atSix);
        QTest::qWait(400);
        QCOMPARE(counted.count(), 0);

        // The count leaves out the tips above a new one, and those can still block it: five kept
        // tips hold every number, and a new tip may share none with them.
        const int keptTips[5][8] = {{1, 2, 3, 4, 5, 6, 7, 8},
                                    {9, 10, 11, 12, 13, 14, 15, 16},
                                    {17, 18, 19, 20, 21, 22, 23, 24},
                                    {25, 26, 27, 28, 29, 30, 31, 32},
                                    {30, 31, 32, 33, 34, 35, 36, 37}};
        for (int q = 0; q < 5; ++q) {
            for (int c = 1; c <= 8; ++c)
                w->TippsSetValue(c, q, QString::number(keptTips[q][c - 1]));
            w->TippsSetValue(0, q, false);
        }
        for (int c = 1; c <= 8; ++c)
            w->TippsSetValue(c, 5, kept[c - 1]);
        for (int r = 5; r < kw::kTipRows; ++r) // the run's tips below would move up otherwise
            w->TippsSetValue(0, r, true);
        w->MaxBerechnungsanzahl->setValue(12);
        w->Anzahl->setValue(6);
        w->MinUeber->setValue(0);
        w->MaxUeber->setValue(0);
        QTRY_VERIFY_WITH_TIMEOUT(!count->text().startsWith(QStringLiteral("counting")), 30000);
        QVERIFY2(!count->text().startsWith(QStringLiteral("0 of")), qPrintable(count->text()));
        w->Button1Click();
        QVERIFY2(w->Status->text().startsWith(QStringLiteral("No tip can pass for tip 6: ")),
                 qPrintable(w->Status->text()));
        QCOMPARE(kwtest::tipOf(*w, 5), kept.join(u','));
    }
};

QTEST_MAIN(FilterCountTest)
#include "filter_count_test.moc"
