// The benchmarks' fixed run, pinned: a faster engine must draw exactly these candidates and tips.
#include "../../bench/BenchSetup.h"
#include "engine/CpuChoice.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Run with the processor's bit count and with the written-out one that other processors get.
class BenchWorkload : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { kw::forcePortableCounting(GetParam()); }
    void TearDown() override { kw::forcePortableCounting(false); }
};

TEST_P(BenchWorkload, EndsAtItsRunLimitWithTheSameSixteenTips) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    const std::vector<kw::TZiehung> h = bench::history();
    kwtest::writeHistory(path, h);
    kw::TipTable table = bench::emptyTable();
    kw::DrawHistory history(path);
    kw::Random rng(uint32_t(bench::kLucky));
    kw::GeneratorRun run(bench::engineSetup(table, history, rng, bench::settings(h), bench::recent(h)));

    EXPECT_EQ(run.step({}), kw::GeneratorRun::Event::Limit);
    EXPECT_EQ(run.candidates(), 1977206);
    const QStringList expected = {
        "1,3,7,8,16,19,33,37",     "3,11,16,18,28,32,33,35",  "1,8,14,18,19,22,26,36",
        "14,16,17,19,24,25,35,37", "1,10,11,16,18,19,21,25",  "8,11,15,21,29,33,35,37",
        "1,14,15,18,25,30,33,35",  "3,10,14,16,22,25,33,36",  "4,8,11,14,16,31,35,36",
        "1,4,17,19,22,28,33,35",   "4,8,11,18,19,24,30,33",   "1,4,11,14,23,32,33,37",
        "3,4,10,19,21,23,35,37",   "11,19,25,26,28,33,36,37", "3,8,11,22,25,26,30,35",
        "18,21,22,23,24,33,35,36",
    };
    QStringList tips;
    for (int r = 0; r < bench::kTips; ++r) {
        QStringList row;
        for (int c = 1; c <= 8; ++c)
            row << table.Tippreihen[c][r];
        if (!row.first().isEmpty())
            tips << row.join(u',');
    }
    EXPECT_EQ(tips, expected);
}

INSTANTIATE_TEST_SUITE_P(Counting, BenchWorkload, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Portable" : "ProcessorsChoice";
                         });
