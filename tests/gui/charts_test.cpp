#include "GuiTestUtil.h"

#include "app/Dates.h"
#include "draws/Ziehung.h"

#include <QFile>
#include <QImage>
#include <QtTest>

namespace {

kw::TZiehung record(const QDate& date, std::initializer_list<int> numbers) {
    kw::TZiehung z;
    z.Ziehungsdatum = kw::dayFromDate(date);
    size_t i = 0;
    for (int n : numbers)
        z.Zahlen[i++] = uint8_t(n);
    return z;
}

void writeHistory(const QString& path, const std::vector<kw::TZiehung>& records) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const auto& z : records) {
        const auto b = z.toBytes();
        f.write(reinterpret_cast<const char*>(b.data()), b.size());
    }
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
        writeHistory(w->ZahlenFile, {
                                        record(kStart, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), // start day: out
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
        // A flat range still draws: every bar sits on the baseline.
        const auto g = t.w->Chart1->geometryFor(QSize(600, 400));
        QCOMPARE(g.bars.size(), size_t(36));
        for (const auto& b : g.bars)
            QCOMPARE(b.rect.height(), 0.0);
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

    // What is drawn: bars from the axis minimum, labels that fit, the title inside the widget.
    void theLowestPairHasNoHeightAndTheHighestFillsThePlot() {
        ChartTab t;
        t.w->PaareClick();
        t.w->Chart1->leftAxis()->setMinimum(2); // as if the lowest count were 2
        const auto g = t.w->Chart1->geometryFor(QSize(700, 450));
        QCOMPARE(g.scale.minimum, 2.0);
        QCOMPARE(g.scale.maximum, 3.0);
        QCOMPARE(g.bars[5].rect.height(), 0.0);       // value 2
        QCOMPARE(g.bars[0].rect.top(), g.plot.top()); // value 3
        QCOMPARE(g.bars[0].rect.bottom(), g.plot.bottom());
    }

    void manyBarsThinTheirLabelsAndTheTitleWraps_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("portrait") << 740;
        QTest::newRow("laptop") << 1250;
        QTest::newRow("narrow") << 300;
    }
    void manyBarsThinTheirLabelsAndTheTitleWraps() {
        QFETCH(int, width);
        TBarChart chart;
        for (int s = 60; s <= 240; ++s)
            chart.Series2->addBar(s, s % 7, 0xFF008000u);
        chart.bottomAxis()->setTitle(
            QStringLiteral("Distribution of cross sums in 1234 draws  -- average: 150"));
        const QSize size(width, 400);
        const auto g = chart.geometryFor(size);
        QVERIFY(g.labelStride > 1);
        QVERIFY(!g.bottomLabels.empty());
        for (size_t i = 1; i < g.bottomLabels.size(); ++i)
            QVERIFY(g.bottomLabels[i - 1].rect.right() < g.bottomLabels[i].rect.left());
        const QRectF whole(QPointF(0, 0), QSizeF(size));
        for (const auto& l : g.bottomLabels)
            QVERIFY(whole.contains(l.rect));
        QVERIFY(whole.contains(g.title.rect));
        QVERIFY(g.title.rect.top() > g.bottomLabels.front().rect.bottom());
    }

    void switchingAnalysesLeavesNothingBehind() {
        ChartTab t;
        t.w->PaareClick();
        t.w->SpeedButton8Click();
        const auto g = t.w->Chart1->geometryFor(QSize(700, 450));
        QCOMPARE(g.bars.size(), size_t(4));
        QCOMPARE(g.scale.minimum, 0.0); // automatic again after the pair chart's fixed axis
        QCOMPARE(g.bottomLabels.front().text, QStringLiteral("37"));
    }

    void paintShowsEachBarInItsColour() {
        TBarChart chart;
        chart.Series2->addBar(1, 4, 0xFFFF0000u);
        chart.Series2->addBar(2, 2, 0xFF008000u);
        chart.Series2->addBar(3, 3);
        chart.resize(400, 300);
        QCOMPARE(chart.geometryFor(chart.size()).marks.size(), size_t(3)); // value marks until switched off
        chart.Series2->setMarksVisible(false);
        QVERIFY(chart.geometryFor(chart.size()).marks.empty());
        const QImage img = chart.grab().toImage();
        const auto g = chart.geometryFor(chart.size());
        const qreal dpr = img.devicePixelRatio();
        auto at = [&](const QRectF& r) { return img.pixelColor((r.center() * dpr).toPoint()).rgba(); };
        QCOMPARE(at(g.bars[0].rect), 0xFFFF0000u);
        QCOMPARE(at(g.bars[1].rect), 0xFF008000u);
        QCOMPARE(at(g.bars[2].rect), chart.Series2->ownColor());
    }
};

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
