#include "GuiTestUtil.h"
#include "core/TestUtil.h"

#include "app/Dates.h"
#include "draws/Ziehung.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGraphicsTextItem>
#include <QImage>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QtTest>

namespace {

kw::TZiehung record(const QDate& date, std::initializer_list<int> numbers) {
    return kwtest::draw(kw::dayFromDate(date), numbers);
}

const QDate kStart(2020, 1, 1);
const QDate kEnd(2020, 1, 10);

/** A window 01.01. < date <= 10.01.2020 and draws on both edges and beyond. */
struct ChartTab {
    kwtest::Fixture fx;
    TKugelwerk* w;
    const kw::DrawNumbers shown{0, 3, 4, 7, 11, 15, 23, 27, 31, 36, 37};
    ChartTab() {
        w = fx.create();
        kwtest::writeHistory(w->ZahlenFile,
                             {
                                 record(kStart, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),            // start day: out
                                 record(QDate(2020, 1, 4), {1, 2, 3, 4, 5, 6, 7, 9, 8, 10}), // sum 37
                                 record(QDate(2020, 1, 7), {1, 2, 3, 4, 5, 6, 7, 12, 0, 0}), // sum 40
                                 record(kEnd, {1, 2, 3, 4, 5, 6, 8, 10, 0, 0}), // end day: sum 39
                                 record(QDate(2020, 1, 14), {30, 31, 32, 33, 34, 35, 36, 37, 1, 2}),
                             });
        w->CalendarEdit1->setDate(kStart);
        w->DateTimePicker1->setDate(kEnd);
        w->Zahl = shown;
        w->Gewinn = 5;
    }
    std::vector<double> values() const {
        std::vector<double> out;
        for (const auto& b : w->Series2->data().bars)
            out.push_back(b.y);
        return out;
    }
    void checkNothingElseChanged() const {
        QCOMPARE(w->Zahl, shown);
        QCOMPARE(int(w->Gewinn), 5);
    }
};

/** A chart shown at a size and laid out, with what it draws where. */
struct Shown {
    TBarChart* chart;
    QImage image;
    /** A chart of its own at this size, or one inside a window at that window's size. */
    Shown(TBarChart* c, const QSize& size) : chart(c) {
        c->window()->resize(size);
        c->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(c->window()));
        grab();
    }
    void grab() {
        chart->refreshNow();
        QCoreApplication::processEvents(); // the chart's layout
        image = chart->viewport()->grab().toImage();
    }
    /** Where the bottom axis puts the centre of the bar at place i. */
    double centre(int place) const {
        QCategoryAxis* axis = chart->placeAxis();
        const QString first = axis->categoriesLabels().front();
        const auto& places = chart->places();
        const auto at = std::find(places.begin(), places.end(), first.toDouble()) - places.begin();
        return axis->endValue(first) - double(at) + place;
    }
    /** The colour drawn at a value over the bar at place i (offset: in places, from its centre). */
    uint32_t colourAt(int place, double value, double offset = 0) const {
        const QPointF scene =
            chart->chart()->mapToPosition(QPointF(centre(place) + offset, value), chart->barSeries(2));
        const QPoint p = chart->mapFromScene(scene);
        return image.pixelColor((QPointF(p) * image.devicePixelRatio()).toPoint()).rgba();
    }
    /**
     * The rectangle of a shown text item with this text, null if none. exact: blanks as given,
     * on one line; else the words in their order, wherever the lines break.
     */
    QRectF textRect(const QString& text, bool exact = true) const {
        for (QGraphicsItem* item : chart->scene()->items()) {
            const auto* t = qgraphicsitem_cast<QGraphicsTextItem*>(item);
            if (!t || !t->isVisible())
                continue;
            const QString shown = t->toPlainText();
            if (exact ? shown == text : shown.simplified() == text.simplified())
                return chart->mapFromScene(t->sceneBoundingRect()).boundingRect();
        }
        return {};
    }
};

} // namespace

class ChartsTest : public QObject {
    Q_OBJECT
private slots:
    void crossSumsCoverEverySumBetweenTheSmallestAndTheLargest() {
        ChartTab t;
        t.w->Series1->addBar(1, 1);
        t.w->SpeedButton8Click();
        QVERIFY(!t.w->Series1->isVisible());
        QVERIFY(t.w->Series2->isVisible());
        const auto& bars = t.w->Series2->data().bars;
        QCOMPARE(bars.size(), size_t(4));
        QCOMPARE(bars.front().x, 37.0);
        QCOMPARE(bars.back().x, 40.0);
        QCOMPARE(t.values(), (std::vector<double>{1, 0, 1, 1}));
        for (const auto& b : bars)
            QCOMPARE(b.argb.value_or(0), 0xFF008000u);
        QVERIFY(t.w->Chart1->leftAxis()->data().automatic);
        QCOMPARE(t.w->Chart1->bottomAxis()->title(),
                 QStringLiteral("Distribution of cross sums in 3 draws  -- average: 39"));
        QCOMPARE(t.w->aktDatum, kw::dayFromDate(kStart));
        QCOMPARE(t.w->dfb, kw::dayFromDate(kEnd));
        t.checkNothingElseChanged();
    }

    void pairsUseTheMainNumbersAndFixTheValueAxis() {
        ChartTab t;
        t.w->PaareClick();
        const auto& bars = t.w->Series2->data().bars;
        QCOMPARE(bars.size(), size_t(36));
        QVERIFY(!bars[0].argb.has_value()); // the series' own colour
        // In the window: 1..7 (+9), 1..7 (+12), 1..6 (+8, 10): pairs 1..6 three times, 6,7 twice.
        QCOMPARE(bars[0].y, 3.0);
        QCOMPARE(bars[5].y, 2.0);
        QCOMPARE(bars[7].y, 0.0); // 8,9 never: 9 and 8 only as supplementary or apart
        const kw::AxisData& left = t.w->Chart1->leftAxis()->data();
        QVERIFY(!left.automatic);
        QCOMPARE(left.minimum, 0.0);
        QCOMPARE(left.maximum, 3.0);
        QVERIFY(t.w->Chart1->bottomAxis()->data().automatic);
        QCOMPARE(t.w->Chart1->bottomAxis()->title(), QStringLiteral("Draws: 3  pairs: 17  Max: 3 => 1,2"));
        t.checkNothingElseChanged();
    }

    void noSelectedDrawSaysSo() {
        ChartTab t;
        t.w->CalendarEdit1->setDate(QDate(2020, 1, 10));
        t.w->SpeedButton8Click();
        QCOMPARE(t.w->Series2->count(), 0);
        QCOMPARE(t.w->Chart1->bottomAxis()->title(),
                 QStringLiteral("Distribution of cross sums in 0 draws  -- no average without draws"));
        t.w->PaareClick();
        QCOMPARE(t.values(), std::vector<double>(36, 0.0));
        QCOMPARE(t.w->Chart1->bottomAxis()->title(), QStringLiteral("Draws: 0  pairs: 0  Max: 0 => 1,2"));
        // A flat range still draws: every bar sits on the baseline of a range with height.
        QCOMPARE(t.w->Chart1->places().size(), size_t(36));
        QCOMPARE(t.w->Chart1->valueAxis()->min(), 0.0);
        QVERIFY(t.w->Chart1->valueAxis()->max() > 0.0);
    }

    void aMissingHistoryLeavesTheChartAndReportsTheError() {
        ChartTab t;
        t.w->PaareClick();
        QVERIFY(QFile::remove(t.w->ZahlenFile));
        t.w->SpeedButton8->click();
        QCOMPARE(t.fx.messages.size(), 1);
        QCOMPARE(t.w->Series2->count(), 36);
        QCOMPARE(t.w->Chart1->bottomAxis()->title(), QStringLiteral("Draws: 3  pairs: 17  Max: 3 => 1,2"));
    }

    // What is drawn: a chart of the toolkit with both series, bars from the axis minimum, labels
    // that fit, the title inside the widget.
    void theChartIsABarChartWithTwoSeriesAndNoLegend() {
        ChartTab t;
        auto* view = qobject_cast<QChartView*>(t.w->findChild<QWidget*>(QStringLiteral("Chart1")));
        QVERIFY(view);
        t.w->SpeedButton8Click();
        const QList<QAbstractSeries*> series = view->chart()->series();
        QCOMPARE(series.size(), 2);
        QCOMPARE(series[0]->objectName(), QStringLiteral("Series1"));
        QCOMPARE(series[1]->objectName(), QStringLiteral("Series2"));
        for (QAbstractSeries* s : series)
            QVERIFY(qobject_cast<QAbstractBarSeries*>(s));
        QVERIFY(!view->chart()->legend()->isVisible());
        QVERIFY(view->chart()->title().isEmpty());
        QVERIFY(!series[0]->isVisible());
        QVERIFY(series[1]->isVisible());
    }

    void theLowestPairHasNoHeightAndTheHighestFillsThePlot() {
        ChartTab t;
        t.w->PaareClick();
        t.w->Chart1->leftAxis()->setMinimum(2); // as if the lowest count were 2
        t.w->TabControl1->setCurrentWidget(t.w->Diagramm);
        Shown s(t.w->Chart1, QSize(768, 1004));
        QCOMPARE(s.chart->valueAxis()->min(), 2.0);
        QCOMPARE(s.chart->valueAxis()->max(), 3.0);
        const uint32_t colour = t.w->Series2->ownColor();
        // X = 2 counts 3, X = 6 counts 2; both are labelled at any stride up to 2.
        QCOMPARE(s.colourAt(1, 2.95), colour);
        QCOMPARE(s.colourAt(1, 2.05), colour);
        QVERIFY(s.colourAt(5, 2.05) != colour);
    }

    void manyBarsThinTheirLabelsAndTheTitleFits_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("portrait") << 740;
        QTest::newRow("laptop") << 1250;
        QTest::newRow("narrow") << 300;
    }
    void manyBarsThinTheirLabelsAndTheTitleFits() {
        QFETCH(int, width);
        TBarChart chart;
        for (int s = 60; s <= 240; ++s)
            chart.Series2->addBar(s, s % 7, 0xFF008000u);
        const QString title = QStringLiteral("Distribution of cross sums in 1234 draws  -- average: 150");
        chart.bottomAxis()->setTitle(title);
        Shown s(&chart, QSize(width, 400));
        const int stride = chart.labelStride();
        QVERIFY(stride > 1);
        const QStringList labels = chart.placeAxis()->categoriesLabels();
        QVERIFY(!labels.isEmpty());
        for (const QString& l : labels)
            QCOMPARE(l.toInt() % stride, 0);
        // Every label is drawn, apart from its neighbours and inside the widget.
        const QRectF whole = QRectF(chart.viewport()->rect());
        std::vector<QRectF> drawn;
        for (const QString& l : labels) {
            const QRectF r = s.textRect(l);
            QVERIFY2(!r.isNull(), qPrintable(l));
            QVERIFY(whole.contains(r));
            drawn.push_back(r);
        }
        for (size_t i = 1; i < drawn.size(); ++i)
            QVERIFY(drawn[i - 1].right() < drawn[i].left());
        // The title is drawn whole, below the labels; where it fits on one line, as given.
        const QRectF t = s.textRect(title, width > 700);
        QVERIFY(!t.isNull());
        QVERIFY(whole.contains(t));
        QVERIFY(t.top() >= drawn.front().bottom() - 1);
    }

    void anEmptiedSeriesKeepsItsTitleOnOneLineUnderThePlot() {
        // As after a calculation: the history tests empty the bars and leave the last title.
        TBarChart chart;
        for (int n = 1; n <= 37; ++n)
            chart.Series2->addBar(n, n % 5, 0xFF008000u);
        const QString title = QStringLiteral("Which figures have not been drawn for the longest time?");
        chart.bottomAxis()->setTitle(title);
        chart.Series2->clear();
        Shown s(&chart, QSize(740, 400));
        const QRectF t = s.textRect(title);
        QVERIFY(!t.isNull());
        QVERIFY(t.width() > t.height() * 5);
        QVERIFY(t.top() > chart.chart()->plotArea().bottom());
    }

    void switchingAnalysesLeavesNothingBehind() {
        ChartTab t;
        t.w->PaareClick();
        t.w->SpeedButton8Click();
        TBarChart* c = t.w->Chart1;
        QCOMPARE(c->places(), (std::vector<double>{37, 38, 39, 40}));
        QCOMPARE(c->barSeries(2)->barSets().size(), 1); // all green
        QCOMPARE(c->barSeries(2)->barSets()[0]->count(), 4);
        QVERIFY(c->barSeries(1)->barSets().isEmpty());
        QCOMPARE(c->valueAxis()->min(), 0.0); // automatic again after the pair chart's fixed axis
        for (const QString& l : c->placeAxis()->categoriesLabels())
            QVERIFY2(l.toInt() >= 37 && l.toInt() <= 40, qPrintable(l));
    }

    void paintShowsEachBarInItsColour() {
        TBarChart chart;
        chart.Series2->addBar(1, 4, 0xFFFF0000u);
        chart.Series2->addBar(2, 2, 0xFF008000u);
        chart.Series2->addBar(3, 3);
        chart.Series2->addBar(4, 1, 0xFFFF0000u);
        QVERIFY(chart.barSeries(2)->isLabelsVisible()); // value marks until switched off
        chart.Series2->setMarksVisible(false);
        QVERIFY(!chart.barSeries(2)->isLabelsVisible());
        Shown s(&chart, QSize(400, 300));
        QCOMPARE(s.colourAt(0, 2), 0xFFFF0000u);
        QCOMPARE(s.colourAt(1, 1), 0xFF008000u);
        QCOMPARE(s.colourAt(2, 1.5), chart.Series2->ownColor());
        QCOMPARE(s.colourAt(3, 0.5), 0xFFFF0000u);
        QVERIFY(s.colourAt(3, 1.5) != 0xFFFF0000u); // one bar per place, not a stack
    }

    void bothSeriesShareThePlacesSideBySide() {
        TBarChart chart;
        for (int x = 1; x <= 3; ++x) {
            chart.Series1->addBar(x, 2);
            chart.Series2->addBar(x, 2);
        }
        chart.Series2->addBar(4, 1); // a place only the second series has
        QCOMPARE(chart.places(), (std::vector<double>{1, 2, 3, 4}));
        QCOMPARE(chart.barSeries(1)->barSets()[0]->count(), 4);
        QCOMPARE(chart.barSeries(1)->barSets()[0]->at(3), 0.0);
        Shown s(&chart, QSize(400, 300));
        QCOMPARE(s.colourAt(1, 1, -0.2), chart.Series1->ownColor());
        QCOMPARE(s.colourAt(1, 1, +0.2), chart.Series2->ownColor());
        chart.Series1->setVisible(false);
        s.grab();
        QCOMPARE(chart.places(), (std::vector<double>{1, 2, 3, 4}));
        QCOMPARE(s.colourAt(1, 1, -0.2), chart.Series2->ownColor()); // alone: the whole place
    }

    void theChartFollowsTheStyleSheet() {
        QWidget window;
        window.setStyleSheet(QStringLiteral("TBarChart { background-color: #252930; color: #e6e8eb; }"));
        auto* chart = new TBarChart(&window);
        chart->Series2->addBar(1, 1);
        window.resize(400, 300);
        chart->resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(chart->chart()->backgroundBrush().color(), QColor(0x25, 0x29, 0x30));
        QCOMPARE(chart->valueAxis()->labelsBrush().color(), QColor(0xe6, 0xe8, 0xeb));
        QCOMPARE(chart->placeAxis()->titleBrush().color(), QColor(0xe6, 0xe8, 0xeb));
    }

    void aHiddenChartCatchesUpWhenItsTabIsShown() {
        ChartTab t;
        t.w->resize(800, 700);
        t.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.w));
        QWidget* chartPage = nullptr;
        for (int i = 0; i < t.w->TabControl1->count(); ++i)
            if (t.w->TabControl1->widget(i)->isAncestorOf(t.w->Chart1))
                chartPage = t.w->TabControl1->widget(i);
        QVERIFY(chartPage);
        t.w->TabControl1->setCurrentIndex(0); // the tips, as during a calculation
        QVERIFY(!t.w->Chart1->isVisible());
        t.w->SpeedButton2Click();
        QCoreApplication::processEvents();
        t.w->TabControl1->setCurrentWidget(chartPage);
        QCoreApplication::processEvents();
        // What the view draws, not what the chart's accessors would rebuild on demand.
        const QChart* drawn = static_cast<QChartView*>(t.w->Chart1)->chart();
        double total = 0;
        for (QAbstractSeries* s : drawn->series())
            if (s->isVisible())
                for (const QBarSet* set : static_cast<QStackedBarSeries*>(s)->barSets())
                    for (int i = 0; i < set->count(); ++i)
                        total += set->at(i);
        double model = 0;
        for (double v : t.values())
            model += v;
        QVERIFY(model > 0);
        QCOMPARE(total, model);
        QVERIFY(!t.w->ChartLegend->isHidden());
    }

    void barsExplainThemselvesAndTheStatisticsKeepTheirRange() {
        ChartTab t;
        kwtest::writeHistory(t.w->ZahlenFile, kwtest::dailyDraws(40, 7));
        t.w->CalendarEdit1->setDay(kw::kFirstSeedDay);
        t.w->DateTimePicker1->setDay(kw::kFirstSeedDay + 39);
        t.w->SpeedButton2Click(); // the distribution: red primes, green others
        TBarChart* c = t.w->Chart1;
        c->refreshNow();
        QVERIFY(!t.w->ChartLegend->isHidden());
        QVERIFY(t.w->ChartLegend->text().contains(QStringLiteral("prime")));
        // The value axis keeps the range the statistic set: lo .. hi of the counts.
        int lo = 1000, hi = 0;
        for (const auto& b : t.w->Series2->data().bars) {
            lo = std::min(lo, int(b.y));
            hi = std::max(hi, int(b.y));
        }
        QCOMPARE(c->valueAxis()->min(), double(lo));
        QCOMPARE(c->valueAxis()->max(), double(hi));
        // The cross sums are all green: no legend for primes.
        t.w->SpeedButton8Click();
        c->refreshNow();
        QVERIFY(t.w->ChartLegend->isHidden());
        QCOMPARE(TBarChart::barTip(17, 12), QStringLiteral("17: 12"));
    }
};

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
