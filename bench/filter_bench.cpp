// The exact count of tips that pass the filter, beside a pass over all tips that only forms their masks.
#include "BenchSetup.h"

#include "engine/FilterAdvice.h"
#include "engine/FilterAnalysis.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Case {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    std::vector<kw::TZiehung> h = bench::history();
    kw::DrawHistory history{path};
    kw::RunSettings s;
    kw::FilterInputs in;
    explicit Case(int fuenfer, int letzte = 0) {
        kwtest::writeHistory(path, h);
        history.refresh();
        s = bench::settings(h);
        s.Fuenferodersechser = fuenfer;
        s.UeLetzte = letzte; // above 0 the pool keeps the last draw's numbers: all 37
        in = kw::filterInputs(s, history, bench::recent(h));
    }
};

// The benchmark's settings (test 11 at 6), the design value 5, which no tip passes here, test 11
// off (9), and 6 with one match allowed with the last draw, so that the pool holds all 37 numbers (61).
const Case& theCase(int fuenfer) {
    static Case six(6), five(5), off(9), whole(6, 1);
    return fuenfer == 5 ? five : fuenfer == 9 ? off : fuenfer == 61 ? whole : six;
}

void BM_FilterCount(benchmark::State& state) {
    const Case& c = theCase(int(state.range(1)));
    int64_t pass = 0;
    for (auto _ : state) {
        const auto counts = kw::countTips(c.in, nullptr, int(state.range(0)));
        pass = counts->pass;
        benchmark::DoNotOptimize(pass);
    }
    state.counters["pass"] = double(pass);
    state.counters["drawable"] = double(kw::tipsOf(c.in.pool));
}
BENCHMARK(BM_FilterCount)
    ->ArgNames({"threads", "test11"})
    ->Args({1, 6})
    ->Args({2, 6})
    ->Args({2, 5})
    ->Args({1, 9})
    ->Args({1, 61})
    ->Args({2, 61})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// What "Calculate" does before it refuses: look for any tip, count, and find the proposals.
void BM_CalculateRefuses(benchmark::State& state) {
    static Case all37(5, 1);
    const Case& c = state.range(0) == 37 ? all37 : theCase(5);
    kw::TipTable table = bench::emptyTable();
    kw::prepareTipTable(table);
    QString why;
    for (auto _ : state)
        why = kw::noTipCanPass(c.s, c.history, bench::recent(c.h), table, 0).value_or(QString());
    state.SetLabel(why.left(60).toStdString());
}
BENCHMARK(BM_CalculateRefuses)
    ->ArgName("numbers")
    ->Arg(29)
    ->Arg(37)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Every tip of the 37 numbers once, as bits, and nothing else.
void BM_TipMasksOnly(benchmark::State& state) {
    for (auto _ : state) {
        uint64_t acc = 0;
        for (int a1 = 1; a1 <= 30; ++a1) {
            const uint64_t m1 = uint64_t(1) << a1;
            for (int a2 = a1 + 1; a2 <= 31; ++a2) {
                const uint64_t m2 = m1 | uint64_t(1) << a2;
                for (int a3 = a2 + 1; a3 <= 32; ++a3) {
                    const uint64_t m3 = m2 | uint64_t(1) << a3;
                    for (int a4 = a3 + 1; a4 <= 33; ++a4) {
                        const uint64_t m4 = m3 | uint64_t(1) << a4;
                        for (int a5 = a4 + 1; a5 <= 34; ++a5) {
                            const uint64_t m5 = m4 | uint64_t(1) << a5;
                            for (int a6 = a5 + 1; a6 <= 35; ++a6) {
                                const uint64_t m6 = m5 | uint64_t(1) << a6;
                                for (int a7 = a6 + 1; a7 <= 36; ++a7) {
                                    const uint64_t m7 = m6 | uint64_t(1) << a7;
                                    for (int a8 = a7 + 1; a8 <= 37; ++a8) {
                                        uint64_t m8 = m7 | uint64_t(1) << a8;
                                        benchmark::DoNotOptimize(m8);
                                        acc += m8;
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }
        benchmark::DoNotOptimize(acc);
    }
    state.counters["tips"] = double(kw::kAllTips);
}
BENCHMARK(BM_TipMasksOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
