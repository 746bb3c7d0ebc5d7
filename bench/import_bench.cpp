// Importing a file of published results: reading it, and merging it into the history by appending
// (new days after the last record) or by writing the history anew (days before it).
#include "app/Dates.h"
#include "core/TestUtil.h"
#include "draws/DrawImport.h"
#include "draws/HistoryFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kDraws = 4143; // 07.08.2015 to 09.12.2026, one draw a day

/** The whole history as a published CSV: a header and ISO dates. */
QByteArray publishedCsv() {
    QByteArray csv = "Draw date,N1,N2,N3,N4,N5,N6,N7,N8,S1,S2\r\n";
    for (const kw::TZiehung& z : kwtest::dailyDraws(kDraws, 11)) {
        csv += kw::dateFromDay(z.Ziehungsdatum).toString(Qt::ISODate).toLatin1();
        for (uint8_t n : z.Zahlen)
            csv += ',' + QByteArray::number(n);
        csv += "\r\n";
    }
    return csv;
}

const kw::ParsedResults& parsed() {
    static const kw::ParsedResults r = [] {
        kw::Clock::setToday(QDate(2026, 12, 10));
        return kw::parsePublishedResults(publishedCsv());
    }();
    return r;
}

void BM_ReadPublishedResults(benchmark::State& state) {
    kw::Clock::setToday(QDate(2026, 12, 10));
    const QByteArray csv = publishedCsv();
    for (auto _ : state) {
        const kw::ParsedResults r = kw::parsePublishedResults(csv);
        benchmark::DoNotOptimize(r.draws.data());
        if (r.draws.size() != size_t(kDraws))
            state.SkipWithError("not every line was read");
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(BM_ReadPublishedResults)->Unit(benchmark::kMillisecond);

/** Merges the whole file into a history that starts as given, once per iteration. */
void merge(benchmark::State& state, const std::vector<kw::TZiehung>& start) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    for (auto _ : state) {
        state.PauseTiming();
        kwtest::writeHistory(path, start);
        state.ResumeTiming();
        const kw::MergeResult r = kw::mergeIntoHistory(path, parsed().draws);
        if (!r.ok)
            state.SkipWithError(r.refusal.toStdString().c_str());
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_MergeAppending(benchmark::State& state) {
    const auto all = kwtest::dailyDraws(kDraws, 11);
    merge(state, {all.begin(), all.begin() + 3}); // new days after the last record
}
BENCHMARK(BM_MergeAppending)->Unit(benchmark::kMillisecond);

void BM_MergeWritingAnew(benchmark::State& state) {
    const auto all = kwtest::dailyDraws(kDraws, 11);
    merge(state, {all.back()}); // every new day lies before the last record
}
BENCHMARK(BM_MergeWritingAnew)->Unit(benchmark::kMillisecond);

void BM_MergeNothingNew(benchmark::State& state) {
    merge(state, kwtest::dailyDraws(kDraws, 11));
}
BENCHMARK(BM_MergeNothingNew)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
