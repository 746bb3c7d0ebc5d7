// Cross-sum and neighbouring-pair analyses on the chart tab.
#include "app/ui/Kugelwerk.h"
#include "charts/Analyses.h"
#include "draws/HistoryFile.h"

namespace {

/**
 * Counts the draws of the analysis window into an accumulator. The whole file is read before
 * the chart is touched, so a missing or unreadable history leaves the chart as it was.
 */
template <class Accumulator> Accumulator scanWindow(const QString& path, double start, double end) {
    Accumulator acc;
    kw::HistoryFile::scan(path, [&](const kw::TZiehung& z) {
        if (kw::inAnalysisWindow(z.Ziehungsdatum, start, end))
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
