// The calculate button and the two statistics buttons, on the real window (offscreen).
#include "GuiTestUtil.h"
#include "core/TestUtil.h"

#include "app/Dates.h"
#include "draws/HistoryFile.h"

#include <QFile>
#include <QTimer>
#include <QtTest>
#include <random>

namespace {

using Tips = std::vector<QStringList>;

} // namespace

class EngineRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kwtest::Fixture> fx;
    TKugelwerk* w = nullptr;
    std::vector<kw::TZiehung> history;

    Tips tips(int n) const {
        Tips out;
        for (int r = 0; r < n; ++r) {
            QStringList row;
            for (int c = 1; c <= 8; ++c)
                row << w->Tippreihen[c][r];
            out.push_back(row);
        }
        return out;
    }
    void setTip(int row, const QStringList& cells, bool marked) {
        for (int c = 1; c <= 8; ++c)
            w->TippsSetValue(c, row, cells.value(c - 1));
        w->TippsSetValue(0, row, marked);
    }
    static void checkGenerated(const QStringList& row) {
        int last = 0;
        for (const QString& cell : row) {
            bool ok = false;
            const int v = cell.toInt(&ok);
            QVERIFY2(ok && v > last && v <= 37, qPrintable(row.join(u',')));
            last = v;
        }
    }
    void checkEnded(const QString& status) {
        QCOMPARE(w->Status->text(), status);
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QVERIFY(w->Timer1->isActive());
        QVERIFY(!w->runRunning());
    }

    // Exactly one tip of the pool passes, the eight largest numbers the last draw does not hold, so
    // the run draws on until it is stopped; a filter no tip passes would not start at all.
    void onlyOneTipCanPass() {
        const kw::TZiehung& last = history.back();
        int sum = 0, taken = 0;
        for (int n = 37; n >= 1 && taken < 8; --n)
            if (std::find(last.Zahlen.begin(), last.Zahlen.begin() + 8, n) == last.Zahlen.begin() + 8) {
                sum += n;
                ++taken;
            }
        w->Uevorletzte->setValue(6);
        w->UeVorVorletzte->setValue(6);
        w->DreioderVier->setValue(8);
        w->Fuenferodersechser->setValue(9);
        w->QuerMax->setValue(sum);
        w->QuerMin->setValue(sum);
    }

private slots:
    void init() {
        fx = std::make_unique<kwtest::Fixture>();
        w = fx->create();
        history = kwtest::dailyDraws(400, 42);
        kwtest::writeHistory(w->ZahlenFile, history);
        w->Anzahl->setMaximum(96);
        w->Anzahl->setValue(4);
        w->DateTimePicker1->setDay(history.back().Ziehungsdatum);
        w->GlueckszahlEdit->setText(QStringLiteral("12345"));
    }
    void cleanup() { fx.reset(); }

    void luckyNumberRepeatsTheTips() {
        w->Button1Click();
        checkEnded(QStringLiteral("calculate stopped"));
        const Tips first = tips(4);
        for (const QStringList& row : first)
            checkGenerated(row);
        for (int r = 0; r < 4; ++r)
            QVERIFY(w->Tippreihe1[r]);
        QVERIFY(fx->messages.isEmpty());

        w->Button1Click(); // the new tips are marked, so all four are drawn again
        QCOMPARE(tips(4), first);

        w->QuerMin->setValue(140);
        w->Button1Click();
        const Tips changed = tips(4);
        QVERIFY(changed != first);
        for (const QStringList& row : changed) {
            int sum = 0;
            for (const QString& cell : row)
                sum += cell.toInt();
            QVERIFY(sum >= 140);
        }
    }

    void keptTipsStayAndAFailingOneIsMarked() {
        const kw::TZiehung& last = history.back();
        QStringList failing; // holds a number of the last draw, which the design settings forbid
        failing << QString::number(last.Zahlen[0]);
        for (int n = 1, k = 0; k < 7; ++n) {
            if (std::find(last.Zahlen.begin(), last.Zahlen.begin() + 8, n) == last.Zahlen.begin() + 8 &&
                n != last.Zahlen[0]) {
                failing << QString::number(n);
                ++k;
            }
        }
        std::sort(failing.begin(), failing.end(),
                  [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        setTip(0, failing, false);
        w->Button1Click(); // a passing kept tip: take one the run itself produced
        const QStringList produced = tips(2)[1];
        setTip(0, failing, false);
        setTip(1, produced, false);
        setTip(2, {}, true);
        setTip(3, {}, true);
        w->MinUeber->setValue(0);
        w->MaxUeber->setValue(8);
        w->Button1Click();

        checkEnded(QStringLiteral("calculate stopped"));
        const Tips after = tips(4);
        QCOMPARE(after[0], failing);
        QCOMPARE(after[1], produced);
        QVERIFY(w->Test_Zahlen[0]);
        QVERIFY(!w->Test_Zahlen[1]);
        QVERIFY(!w->Tippreihe1[0] && !w->Tippreihe1[1]);
        QVERIFY(w->Tippreihe1[2] && w->Tippreihe1[3]);
        checkGenerated(after[2]);
        checkGenerated(after[3]);
    }

    void secondClickStopsTheRun() {
        onlyOneTipCanPass();
        QTimer::singleShot(100, w->Button1, [this] { w->Button1->click(); });
        w->Button1Click();
        checkEnded(QStringLiteral("calculate stopped"));
        // The row under way stays marked and empty; the rows not reached are as they were.
        for (int r = 0; r < 4; ++r)
            QVERIFY(w->Tippreihen[1][r].isEmpty());
        QVERIFY(w->Tippreihe1[0]);
        QVERIFY(!w->Tippreihe1[1]);
        // The next click starts a new run.
        w->QuerMin->setValue(21);
        w->Button1Click();
        checkGenerated(tips(1)[0]);
    }

    void closingTheWindowEndsTheRun() {
        onlyOneTipCanPass();
        QTimer::singleShot(100, w, [this] { w->close(); });
        w->Button1Click(); // returns instead of running on for a window that is gone
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QVERIFY(!w->runRunning());
        QVERIFY(fx->messages.isEmpty());
    }

    void runLimitEndsAfterAnAcceptedTip() {
        w->Anzahl->setValue(40);
        w->MaxLauf->setValue(10);
        w->MinUeber->setValue(1);
        w->MaxUeber->setValue(3);
        w->Button1Click();
        checkEnded(QStringLiteral("Change the settings or increase the calculation runs"));
        const Tips all = tips(40);
        int filled = 0;
        while (filled < 40 && !all[size_t(filled)][0].isEmpty())
            checkGenerated(all[size_t(filled++)]);
        QVERIFY(filled > 0 && filled < 40);
        for (int r = filled; r < 40; ++r)
            QVERIFY(all[size_t(r)][0].isEmpty());
    }

    void poolTooSmallChangesNothing() {
        setTip(0, {"1", "2", "3", "4", "5", "6", "7", "8"}, true);
        w->BevorzugteZahlen->setChecked(true);
        w->BesOft->setValue(0);
        w->BesSelten->setValue(0);
        w->Ueberfaellig->setValue(0);
        w->Button1Click();
        QVERIFY(w->Status->text().contains(QStringLiteral("only use preferred numbers")));
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(tips(1)[0], QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
        QVERIFY(w->Tippreihe1[0]);
        QVERIFY(w->Tippreihen[1][1].isEmpty());
    }

    void errorsEndTheRunWithTheButtonUsable() {
        // A kept tip with a cell that is no number, moved up from beyond the tips in use: the new
        // tips cannot be compared with it.
        setTip(10, {"1", "2", "x", "4", "5", "6", "7", "8"}, false);
        for (int r = 0; r < 10; ++r)
            w->TippsSetValue(0, r, true);
        w->Button1Click();
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY(fx->messages[0].contains(QStringLiteral("\"x\"")));
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Tippreihen[3][0], QStringLiteral("x"));

        // No history file: the statistics cannot be computed; the tips stay as they were.
        setTip(0, {"1", "2", "3", "4", "5", "6", "7", "8"}, false);
        QFile::remove(w->ZahlenFile);
        fx->messages.clear();
        w->Button1Click();
        QVERIFY(!fx->messages.isEmpty());
        QVERIFY(fx->messages.last().contains(QStringLiteral("setforlife.dat")));
        QCOMPARE(w->Button1->text(), QStringLiteral("calculate"));
        QCOMPARE(tips(1)[0], QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
        QVERIFY(!w->runRunning());
    }

    void statisticsOfTheSeedDraws() {
        kw::HistoryFile::createSeeded(w->ZahlenFile);
        w->CalendarEdit1->setDate(QDate(2015, 8, 7));
        w->DateTimePicker1->setDate(QDate(2015, 8, 9));
        w->Series1->setVisible(true);

        w->SpeedButton2Click();
        const auto& bars = w->Series2->data().bars;
        QCOMPARE(int(bars.size()), 37);
        QCOMPARE(bars[3].x, 4.0);
        QCOMPARE(bars[3].y, 2.0);  // 4: drawn on 07.08. and 09.08.
        QCOMPARE(bars[35].y, 2.0); // 36: drawn, then supplementary
        QCOMPARE(bars[0].y, 0.0);
        QCOMPARE(*bars[1].argb, kw::kRed);   // 2 is a prime
        QCOMPARE(*bars[3].argb, kw::kGreen); // 4 is not
        QVERIFY(!w->Series1->isVisible());
        QCOMPARE(w->Chart1->bottomAxis()->title(),
                 QStringLiteral("Number distribution 3 draws since 07.08.2015"));
        QCOMPARE(w->Chart1->leftAxis()->data().minimum, 0.0);
        QCOMPARE(w->Chart1->leftAxis()->data().maximum, 2.0);
        QVERIFY(!w->Chart1->leftAxis()->data().automatic);
        QVERIFY(w->Chart1->bottomAxis()->data().automatic);

        w->SpeedButton1Click();
        QCOMPARE(bars[35].y, 1.0); // 36
        QCOMPARE(bars[11].y, 2.0); // 12
        QCOMPARE(bars[0].y, 3.0);  // 1: the start day's draw is not counted
        QCOMPARE(w->Chart1->leftAxis()->data().minimum, 1.0);
        QCOMPARE(w->Chart1->leftAxis()->data().maximum, 3.0);
        QCOMPARE(w->Chart1->bottomAxis()->title(),
                 QStringLiteral("Which figures have not been drawn for the longest time?"));

        // Missing file: an error, and the chart keeps its bars.
        QFile::remove(w->ZahlenFile);
        QVERIFY_THROWS_EXCEPTION(std::exception, w->SpeedButton2Click());
        QCOMPARE(int(w->Series2->data().bars.size()), 37);
    }
};

QTEST_MAIN(EngineRunTest)
#include "engine_run_test.moc"
