// The exact odds of the tips in play and the back-test, on this machine's two cores.
#include "app/Dates.h"
#include "engine/BackTest.h"
#include "engine/Odds.h"
#include "server/DrawData.h"

#include <QFile>
#include <QTextStream>
#include <benchmark/benchmark.h>

namespace {

// The committed demo history, as the program's file would hold it after a full update.
std::vector<kw::TZiehung> demoHistory() {
    std::vector<kw::TZiehung> out;
    QFile f(QStringLiteral(KW_SOURCE_DIR "/server/demo-draws-SYNTHETIC.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (kw::srv::isCommentLine(line))
            continue;
        const auto d = kw::srv::parseDataLine(line, nullptr);
        if (!d)
            continue;
        kw::TZiehung z;
        z.Ziehungsdatum = kw::dayFromDate(d->date);
        auto main = d->numbers;
        std::sort(main.begin(), main.end());
        for (size_t i = 0; i < 8; ++i)
            z.Zahlen[i] = uint8_t(main[i]);
        z.Zahlen[8] = uint8_t(d->extra[0]);
        z.Zahlen[9] = uint8_t(d->extra[1]);
        out.push_back(z);
    }
    return out;
}

void BM_TipsOdds(benchmark::State& state) {
    const auto tips = kw::randomTips(int(state.range(0)), 99);
    for (auto _ : state) {
        auto odds = kw::tipsOdds(tips);
        benchmark::DoNotOptimize(odds);
    }
}
BENCHMARK(BM_TipsOdds)->Arg(1)->Arg(10)->Arg(96)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackTest100(benchmark::State& state) {
    const auto history = demoHistory();
    // Design settings, but "not five of any earlier draw" would reject every tip over 4,000 draws.
    kw::BackTestRecipe recipe;
    recipe.settings.Fuenferodersechser = 6;
    recipe.settings.chartStart = kw::kFirstSeedDay;
    recipe.tips = int(state.range(0));
    recipe.luckyNumber = QStringLiteral("12345");
    recipe.range = 100;
    if (state.range(1)) {
        // tips that may share at most two numbers: most draws end at the run limit (30,000 candidates)
        recipe.settings.MinUeber = 0;
        recipe.settings.MaxUeber = 2;
    }
    for (auto _ : state) {
        auto r = kw::runBackTest(history, recipe);
        state.counters["draws_without_tip"] = r.drawsWithoutTip;
        state.counters["settings_wins"] = r.settings.wins;
        state.counters["random_wins"] = r.random.wins;
        state.counters["draws_at_limit"] = r.drawsAtLimit;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_BackTest100)
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
