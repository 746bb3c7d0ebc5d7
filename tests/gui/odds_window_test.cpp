// The odds window: opened from the chart tab, its computations run in workers and can be cancelled.
#include "GuiTestUtil.h"
#include "core/TestUtil.h"

#include "charts/ui/OddsWindow.h"
#include "engine/BackTest.h"
#include "engine/Odds.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

struct Setup {
    kwtest::Fixture fx;
    TKugelwerk* w;
    explicit Setup(int tips) {
        w = fx.create();
        const auto history = kwtest::dailyDraws(150, 8);
        kwtest::writeHistory(w->ZahlenFile, history);
        w->CalendarEdit1->setDay(history.front().Ziehungsdatum);
        w->DateTimePicker1->setDay(history.back().Ziehungsdatum);
        const auto t = kw::randomTips(tips, 5);
        for (int r = 0; r < tips; ++r) {
            int p = 1;
            for (int n = 1; n <= 37; ++n)
                if (t[size_t(r)] >> n & 1)
                    w->setCell(p++, r, QString::number(n));
        }
        w->Anzahl->setValue(tips);
    }
    void slider(const char* name, int value) {
        auto* s = w->findChild<TTrackBar*>(QString::fromLatin1(name));
        QVERIFY(s);
        s->setValue(value);
    }
    kw::OddsWindow* open() {
        auto* b = w->findChild<QPushButton*>(QStringLiteral("OddsButton"));
        if (!b)
            return nullptr;
        b->click();
        return w->findChild<kw::OddsWindow*>();
    }
    template <class T> T* child(kw::OddsWindow* o, const char* name) {
        return o->findChild<T*>(QString::fromLatin1(name));
    }
};

} // namespace

class OddsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensFromTheChartTab();
    void computesTheOddsOfTheTipsInPlayAndCancels();
    void backTestRunsExportsAndCancels();
    void backTestGivesTheTipsTheProgramWouldHaveGiven();
};

void OddsWindowTest::opensFromTheChartTab() {
    Setup s(2);
    kw::OddsWindow* o = s.open();
    QVERIFY(o);
    QVERIFY(o->isVisible());
    QCOMPARE(o->windowTitle(), QStringLiteral("Odds and back-test"));
    QVERIFY(o->isWindow());
    QCOMPARE(s.open(), o); // one window, shown again
    QCOMPARE(s.w->findChildren<kw::OddsWindow*>().size(), 1);
    // the one-tip table shows the exact figures; the history sentences are filled in
    auto* table = s.child<QTableWidget>(o, "OddsTable");
    QCOMPARE(table->item(8, 1)->text(), QStringLiteral("1 in 38,608,020\n0.00000259 %"));
    QVERIFY(s.child<QLabel>(o, "UniformityNumbers")->text().startsWith(QStringLiteral("The 150 draws are ")));
    QVERIFY(s.child<QLabel>(o, "UniformityPairs")->text().startsWith(QStringLiteral("The 149 draws are ")));
    QVERIFY(s.child<QLabel>(o, "OddsTipsInPlay")->text().contains(QStringLiteral("2 tips")));

    // Without a history both sections say so; the window goes on working.
    QVERIFY(QFile::remove(s.w->ZahlenFile));
    o->refresh();
    QVERIFY(s.child<QLabel>(o, "UniformityNumbers")
                ->text()
                .startsWith(QStringLiteral("The draw history cannot be read")));
    s.child<QPushButton>(o, "BackTestRunButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!o->backTestRunning(), 30000);
    QVERIFY(s.child<QLabel>(o, "BackTestNote")
                ->text()
                .startsWith(QStringLiteral("The back-test could not run: ")));
    QVERIFY(!s.child<QPushButton>(o, "BackTestExportButton")->isEnabled());
    QVERIFY(s.fx.messages.isEmpty());
}

void OddsWindowTest::computesTheOddsOfTheTipsInPlayAndCancels() {
    Setup s(2);
    kw::OddsWindow* o = s.open();
    auto* start = s.child<QPushButton>(o, "OddsComputeButton");
    auto* cancel = s.child<QPushButton>(o, "OddsCancelButton");
    QVERIFY(!cancel->isEnabled());
    start->click();
    QVERIFY(o->oddsRunning());
    QVERIFY(cancel->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!o->oddsRunning(), 60000);
    QCOMPARE(s.child<QProgressBar>(o, "OddsProgress")->value(), 1000);
    const auto expected = kw::tipsOdds(kw::tipsInPlay(*s.w, 2));
    auto* tips = s.child<QTableWidget>(o, "OddsTipsTable");
    QCOMPARE(tips->item(0, 0)->text(), QStringLiteral("your 2 tips"));
    QCOMPARE(tips->item(0, 1)->text(), kw::oneInText(expected->anyWinWays, kw::kAllDraws) +
                                           QLatin1Char('\n') +
                                           kw::percentText(expected->anyWinWays, kw::kAllDraws));
    QCOMPARE(tips->item(0, 2)->text(), QStringLiteral("0.0337")); // 2 x 1/59.4
    QCOMPARE(tips->item(1, 2)->text(), QStringLiteral("0.0337"));
    QVERIFY(start->isEnabled());

    // Many tips take long enough to be cancelled; the window keeps working meanwhile.
    Setup many(60);
    o = many.open();
    many.child<QPushButton>(o, "OddsComputeButton")->click();
    QVERIFY(o->oddsRunning());
    many.child<QPushButton>(o, "OddsCancelButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!o->oddsRunning(), 30000);
    QCOMPARE(many.child<QLabel>(o, "OddsNote")->text(), QStringLiteral("Cancelled."));
    QVERIFY(many.child<QPushButton>(o, "OddsComputeButton")->isEnabled());
    QVERIFY(!many.child<QPushButton>(o, "OddsCancelButton")->isEnabled());
}

void OddsWindowTest::backTestRunsExportsAndCancels() {
    Setup s(3);
    s.slider("MaxLauf", 10);
    s.slider("Fuenferodersechser", 9);
    kw::OddsWindow* o = s.open();
    auto* run = s.child<QPushButton>(o, "BackTestRunButton");
    auto* exportButton = s.child<QPushButton>(o, "BackTestExportButton");
    QVERIFY(!exportButton->isEnabled());
    run->click();
    QVERIFY(o->backTestRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!o->backTestRunning(), 60000);
    const kw::BackTestResult* r = o->lastBackTest();
    QVERIFY(r);
    QCOMPARE(int(r->draws.size()), 100); // the last 100 of 150
    QCOMPARE(s.child<QTableWidget>(o, "BackTestTable")->item(0, 1)->text(),
             QString::number(r->settings.tips));
    QCOMPARE(s.child<QTableWidget>(o, "BackTestTable")->item(1, 8)->text(), QString::number(r->random.wins));
    QVERIFY(!s.child<QLabel>(o, "BackTestVerdict")->text().isEmpty());
    QVERIFY(exportButton->isEnabled());

    const QString csv = s.fx.home() + QStringLiteral("backtest.csv");
    QVERIFY(o->exportCsv(csv));
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("recipe,history_sha256," + kw::fileSha256(s.w->ZahlenFile) + "\n"));
    QVERIFY(text.contains("\nsetting,MaxLauf,10\n"));
    QVERIFY(text.contains("\nrecipe,tips_per_draw,3\n"));

    // A walk where every draw searches a million candidates in vain: cancelled within a slice.
    s.slider("MaxLauf", 1000);
    s.slider("QuerMin", 279);
    s.slider("QuerMax", 21);
    run->click();
    QVERIFY(o->backTestRunning());
    s.child<QPushButton>(o, "BackTestCancelButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!o->backTestRunning(), 30000);
    QVERIFY(o->lastBackTest()->cancelled);
    QVERIFY(o->lastBackTest()->draws.size() < 100);
    QVERIFY(s.child<QLabel>(o, "BackTestVerdict")->text().startsWith(QStringLiteral("Cancelled after ")));
    QVERIFY(run->isEnabled());
}

void OddsWindowTest::backTestGivesTheTipsTheProgramWouldHaveGiven() {
    // "Calculate" in the window, on the history as it was after draw 58 with that draw on display,
    // against the back-test's tips for draw 59 on the whole history.
    Setup s(0);
    const auto history = kwtest::dailyDraws(60, 8);
    const int target = 58; // index of the tested draw
    kwtest::writeHistory(s.w->ZahlenFile, {history.begin(), history.begin() + target});
    s.w->CalendarEdit1->setDay(history.front().Ziehungsdatum);
    s.w->DateTimePicker1->setDay(history[size_t(target - 1)].Ziehungsdatum);
    s.w->GlueckszahlEdit->setText(QStringLiteral("4711"));
    s.slider("MaxLauf", 1000);
    s.slider("Fuenferodersechser", 6);
    s.w->Anzahl->setValue(3);
    s.w->Button1Click();
    const auto programTips = kw::tipsInPlay(*s.w, 3);
    QCOMPARE(int(programTips.size()), 3);

    kw::BackTestRecipe recipe;
    recipe.settings = s.w->runSettings();
    recipe.tips = 3;
    recipe.luckyNumber = s.w->GlueckszahlEdit->text();
    recipe.range = 2;
    const kw::BackTestResult r = kw::runBackTest(history, recipe);
    QCOMPARE(int(r.draws.size()), 2);
    QCOMPARE(r.draws[0].index, target);
    auto sorted = [](std::vector<uint64_t> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    QCOMPARE(sorted(r.draws[0].settingsTips), sorted(programTips));
}

QTEST_MAIN(OddsWindowTest)
#include "odds_window_test.moc"
