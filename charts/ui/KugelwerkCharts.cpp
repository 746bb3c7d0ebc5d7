// Cross-sum and neighbouring-pair analyses on the chart tab.
#include "app/ui/Kugelwerk.h"
#include "charts/Analyses.h"
#include "charts/ui/OddsWindow.h"
#include "draws/HistoryFile.h"

#include <QBoxLayout>

namespace {

/**
 * Counts the draws of the analysis window into an accumulator. The whole file is read before
 * the chart is touched, so a missing or unreadable history leaves the chart as it was.
 */
template <class Accumulator> Accumulator scanWindow(const QString& path, double start, double end) {
    Accumulator acc;
    kw::HistoryFile::scan(path, [&](const kw::TZiehung& z) {
        if (kw::inWindowStartExcluded(z.Ziehungsdatum, start, end))
            acc.add(z);
        return true;
    });
    return acc;
}

} // namespace

void TKugelwerk::SpeedButton8Click() {
    aktDatum = CalendarEdit1->day();
    dfb = DateTimePicker1->day();
    const kw::CrossSums sums = scanWindow<kw::CrossSums>(ZahlenFile, aktDatum, dfb);

    Series2->setVisible(true);
    Series1->setVisible(false);
    Series2->clear();
    for (int s = sums.smallest; s <= sums.largest; ++s)
        Series2->addBar(s, sums.counter[size_t(s)], kw::kGreen);
    Chart1->leftAxis()->setAutomatic(true);
    Chart1->bottomAxis()->setAutomatic(true);
    Chart1->bottomAxis()->setTitle(sums.title());
    Chart1->refreshNow(); // whoever looks at the chart next sees this analysis
}

void TKugelwerk::PaareClick() {
    aktDatum = CalendarEdit1->day();
    // The pairs are counted on their own, so the draw on display (Zahl) and the last check's
    // results stay what the tips tab shows.
    const kw::PairCounts pairs = scanWindow<kw::PairCounts>(ZahlenFile, aktDatum, DateTimePicker1->day());

    Series2->setVisible(true);
    Series1->setVisible(false);
    Series2->clear();
    for (int i = 1; i <= kw::PairCounts::kPairs; ++i)
        Series2->addBar(i, pairs.counter[size_t(i)]);
    TChartAxis* left = Chart1->leftAxis();
    left->setMinimum(0);
    left->setMaximum(pairs.highest());
    left->setMinimum(pairs.lowest());
    left->setAutomatic(false);
    Chart1->bottomAxis()->setAutomatic(true);
    Chart1->bottomAxis()->setTitle(pairs.title());
    Chart1->refreshNow();
}

// --- The chart tab -----------------------------------------------------------------------------

void TKugelwerk::buildChartTab() {
    auto* chartBox = new QVBoxLayout(Diagramm);
    chartBox->setContentsMargins(0, 0, 0, 0);
    Panel2 = makePanel(Diagramm, QStringLiteral("Panel2"));
    Panel2->setMinimumHeight(89);
    auto* p2 = new QVBoxLayout(Panel2);
    p2->setContentsMargins(6, 6, 6, 6);
    auto* buttons = new QHBoxLayout;
    auto button = [](const QString& name, const QString& text, QWidget* parent) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(name);
        b->setMinimumHeight(40);
        return b;
    };
    SpeedButton2 = button(QStringLiteral("SpeedButton2"), QStringLiteral("Verteilung"), Panel2);
    SpeedButton1 = button(QStringLiteral("SpeedButton1"), QStringLiteral("pending"), Panel2);
    SpeedButton8 = button(QStringLiteral("SpeedButton8"), QStringLiteral("checksums"), Panel2);
    Paare = button(QStringLiteral("Paare"), QStringLiteral("pairs"), Panel2);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton8);
    buttons->addWidget(Paare);
    auto* odds = button(QStringLiteral("OddsButton"), QStringLiteral("odds"), Panel2);
    odds->setToolTip(
        QStringLiteral("Odds and back-test: the exact chances of the tips in play, a test of the "
                       "history against pure chance, and the settings against random tips."));
    odds->setAccessibleName(QStringLiteral("Odds and back-test"));
    connect(odds, &QPushButton::clicked, this, [this] { kw::OddsWindow::showFor(this); });
    buttons->addWidget(odds);
    buttons->addStretch(1);
    p2->addLayout(buttons);
    CalendarEdit1 = new TDateEdit(Panel2);
    CalendarEdit1->setObjectName(QStringLiteral("CalendarEdit1"));
    CalendarEdit1->setDate(QDate(2015, 8, 7));
    CalendarEdit1->setAccessibleName(QStringLiteral("start date of the analyses"));
    CalendarEdit1->setMaximumWidth(160);
    p2->addWidget(CalendarEdit1);
    chartBox->addWidget(Panel2);
    Chart1 = new TBarChart(Diagramm);
    Series1 = Chart1->Series1;
    Series2 = Chart1->Series2;
    chartBox->addWidget(Chart1, 1);
    ChartLegend =
        makeLabel(Diagramm, QStringLiteral("ChartLegend"),
                  QStringLiteral("Red bars: the prime numbers (2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37); "
                                 "green bars: the other numbers."));
    ChartLegend->setWordWrap(true);
    ChartLegend->setContentsMargins(8, 0, 8, 4);
    ChartLegend->hide();
    chartBox->addWidget(ChartLegend);
    connect(Chart1, &TBarChart::primesShown, ChartLegend, &QWidget::setVisible);
    RichEdit1 = new QPlainTextEdit(Diagramm);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->hide();
}
