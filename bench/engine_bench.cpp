// Candidates per second: the engine alone, and the literal model it replaces.
#include "BenchSetup.h"

#include "draws/HistoryFile.h"
#include "oracle/LiteralRun.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <limits>

namespace {

struct Case {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    std::vector<kw::TZiehung> h = bench::history();
    kw::RunSettings s = bench::settings(h);
    kw::RecentDraws recent = bench::recent(h);
    Case() { kwtest::writeHistory(path, h); }
};

Case& theCase() {
    static Case c;
    return c;
}

/** One whole run as the window starts it: statistics, pool, then candidates until the end. */
int64_t engineRun(int64_t stopAfter, benchmark::State* pauseSetup = nullptr) {
    Case& c = theCase();
    if (pauseSetup)
        pauseSetup->PauseTiming();
    kw::TipTable table = bench::emptyTable();
    kw::DrawHistory history(c.path);
    kw::Random rng(uint32_t(bench::kLucky));
    kw::GeneratorRun run(bench::engineSetup(table, history, rng, c.s, c.recent));
    kw::GeneratorRun::Budget budget;
    budget.pauseAtCandidates = stopAfter;
    if (pauseSetup)
        pauseSetup->ResumeTiming();
    run.step(budget);
    return run.candidates();
}

void BM_EngineWholeRun(benchmark::State& state) {
    int64_t total = 0;
    for (auto _ : state)
        total += engineRun(std::numeric_limits<int64_t>::max());
    state.counters["candidates"] = double(total) / double(state.iterations());
    state.counters["candidates/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineWholeRun)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first candidates of the run, which the literal model gets through in a measurable time.
// The engine's reading of the history and its pool are left out here: the model has no such step.
constexpr int64_t kPrefix = 4000;

void BM_EngineFirstCandidates(benchmark::State& state) {
    int64_t total = 0;
    for (auto _ : state)
        total += engineRun(kPrefix, &state);
    state.counters["candidates/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineFirstCandidates)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LiteralFirstCandidates(benchmark::State& state) {
    Case& c = theCase();
    int64_t total = 0;
    for (auto _ : state) {
        kw::TipTable table = bench::emptyTable();
        total += oracle::run(c.path, c.s, table, bench::kTips, c.recent, uint32_t(bench::kLucky), kPrefix)
                     .candidates;
    }
    state.counters["candidates/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LiteralFirstCandidates)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
