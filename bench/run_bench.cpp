// The program's own calculation (window offscreen, event pumps, status line, tip list) against
// the engine alone on the same case.
#include "BenchGui.h"
#include "BenchSetup.h"

#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <limits>

namespace {

QTemporaryDir* folder = nullptr;
TKugelwerk* window = nullptr;
std::vector<kw::TZiehung> draws;

kw::TipTable engineTable;

int64_t engineCandidates() {
    const kw::RunSettings s = bench::settings(draws);
    const kw::RecentDraws recent = bench::recent(draws);
    kw::TipTable table = bench::emptyTable();
    kw::DrawHistory history(window->ZahlenFile);
    kw::Random rng(uint32_t(bench::kLucky));
    kw::GeneratorRun run(bench::engineSetup(table, history, rng, s, recent));
    run.step({});
    engineTable = table;
    return run.candidates();
}

void BM_EngineAlone(benchmark::State& state) {
    int64_t total = 0;
    for (auto _ : state)
        total += engineCandidates();
    state.counters["candidates/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProgramRun(benchmark::State& state) {
    const int64_t candidates = engineCandidates(); // the same run, so the same number of candidates
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 0; r < kw::kTipRows; ++r)
            window->TippsSetValue(0, r, true);
        state.ResumeTiming();
        window->Button1Click();
    }
    // The rate holds only if the window made the very same run.
    for (int r = 0; r < bench::kTips; ++r)
        for (int c = 1; c <= 8; ++c)
            if (window->Tippreihen[c][r] != engineTable.Tippreihen[c][r])
                state.SkipWithError("the window's tips differ from the engine's");
    state.counters["candidates/s"] =
        benchmark::Counter(double(candidates) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(window->Status->text().toStdString());
}
BENCHMARK(BM_ProgramRun)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the user waits for after the click before the first candidate is drawn: the lookups of
// the recent draws, the plan, the check that a tip can pass, the prepared table and list.
void BM_ClickToFirstCandidate(benchmark::State& state) {
    for (auto _ : state) {
        for (int r = 0; r < kw::kTipRows; ++r)
            window->TippsSetValue(0, r, true);
        window->Button1Click();
        state.SetIterationTime(std::chrono::duration<double>(window->lastRunStartLatency()).count());
    }
}
BENCHMARK(BM_ClickToFirstCandidate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

// The run, with its limit far away, is stopped 30 ms in: the time from the stop to the button
// saying "calculate" again, and how long a timer that fires every 2 ms waits at most, as input
// would (the mean over the runs of each run's longest wait, and the longest of all).
void BM_StopAndInputDuringRun(benchmark::State& state) {
    const int limit = window->MaxLauf->value();
    window->MaxLauf->setValue(window->MaxLauf->maximum());
    double longestWait = 0, sumOfLongest = 0;
    for (auto _ : state) {
        double runLongest = 0;
        for (int r = 0; r < kw::kTipRows; ++r)
            window->TippsSetValue(0, r, true);
        using Clock = std::chrono::steady_clock;
        Clock::time_point stopped, last = Clock::now();
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            runLongest = std::max(runLongest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        });
        QTimer::singleShot(30, [&] {
            tick.stop();
            stopped = Clock::now();
            window->Button1Click(); // the button says "Stoppen" while the run goes on
        });
        QTimer::singleShot(0, [&] {
            last = Clock::now();
            tick.start();
        });
        window->Button1Click();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - stopped).count());
        longestWait = std::max(longestWait, runLongest);
        sumOfLongest += runLongest;
    }
    window->MaxLauf->setValue(limit);
    state.counters["wait_ms"] = sumOfLongest / double(state.iterations());
    state.counters["longest_wait_ms"] = longestWait;
    state.SetLabel(window->Status->text().toStdString());
}
BENCHMARK(BM_StopAndInputDuringRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

} // namespace

int main(int argc, char** argv) {
    bench::defaultToOffscreen();
    QApplication app(argc, argv);
    bench::silenceBoxesAndSound();
    QTemporaryDir dir;
    folder = &dir;
    draws = bench::history();
    TKugelwerk w(dir.path());
    window = &w;
    kwtest::writeHistory(w.ZahlenFile, draws);
    // Design settings, except the ones the benchmark fixes.
    w.Fuenferodersechser->setValue(6);
    w.MaxLauf->setValue(1000);
    w.MaxBerechnungsanzahl->setValue(96);
    w.Anzahl->setMaximum(96);
    w.Anzahl->setValue(bench::kTips);
    w.CalendarEdit1->setDay(draws.front().Ziehungsdatum);
    w.DateTimePicker1->setDay(draws.back().Ziehungsdatum);
    w.GlueckszahlEdit->setText(QString::number(bench::kLucky));
    w.resize(768, 1004);
    // Shown, so that under a real X server (DISPLAY set, QT_QPA_PLATFORM=xcb) the run pays for
    // its painting as a user's run does.
    w.show();
    QApplication::processEvents();
    // A user clicks Calculate after the options tab has counted the tips that can pass; that
    // count runs in a worker and would otherwise be timed with the run.
    if (const auto* count = w.findChild<QLabel*>(QStringLiteral("FilterCount"))) {
        QElapsedTimer waited;
        waited.start();
        QTest::qWait(200); // the count starts a moment after the last change
        while (count->text().startsWith(QStringLiteral("counting")) && waited.elapsed() < 20000)
            QTest::qWait(20);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
