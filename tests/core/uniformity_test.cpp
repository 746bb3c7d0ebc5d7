// The uniformity tests on synthetic histories of pure chance: their p-values must be uniform.
#include "TestUtil.h"

#include "app/Dates.h"
#include "charts/Uniformity.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using namespace kw;

namespace {

// Ten different numbers per draw, every set equally likely: eight drawn, two supplementary.
std::array<uint8_t, 10> randomDraw(std::mt19937& rng) {
    std::array<uint8_t, 37> all{};
    std::iota(all.begin(), all.end(), uint8_t(1));
    for (size_t i = 0; i < 10; ++i)
        std::swap(all[i], all[i + std::uniform_int_distribution<size_t>(0, 36 - i)(rng)]);
    std::array<uint8_t, 10> out{};
    std::copy_n(all.begin(), 10, out.begin());
    std::sort(out.begin(), out.begin() + 8);
    return out;
}

struct Rates {
    double numbers = 0, pairs = 0, plainNumbers = 0, numbersBelowHalf = 0, pairsBelowHalf = 0;
};

Rates rejectionRates(int histories, int draws, unsigned seed) {
    std::mt19937 rng(seed);
    Rates r;
    for (int h = 0; h < histories; ++h) {
        std::array<int32_t, 38> numbers{};
        std::array<int32_t, 37> pairs{};
        for (int d = 0; d < draws; ++d) {
            const auto z = randomDraw(rng);
            uint64_t main = 0;
            for (size_t i = 0; i < 10; ++i)
                ++numbers[z[i]];
            for (size_t i = 0; i < 8; ++i)
                main |= uint64_t(1) << z[i];
            for (int i = 1; i <= 36; ++i)
                pairs[size_t(i)] += (main >> i & 3) == 3;
        }
        const UniformityTest n = numbersUniformity(numbers, draws, 10);
        const UniformityTest p = pairsUniformity(pairs, draws);
        // Pearson's statistic without the factor, as if the counts were independent
        const double plain = n.statistic * 27.0 / 36.0;
        r.numbers += n.rejected();
        r.pairs += p.rejected();
        r.plainNumbers += chiSquareUpperTail(plain, 36) < 0.05;
        r.numbersBelowHalf += n.pValue < 0.5;
        r.pairsBelowHalf += p.pValue < 0.5;
    }
    for (double* x : {&r.numbers, &r.pairs, &r.plainNumbers, &r.numbersBelowHalf, &r.pairsBelowHalf})
        *x /= histories;
    return r;
}

} // namespace

TEST(Uniformity, ChiSquareTail) {
    EXPECT_NEAR(chiSquareUpperTail(50.998, 36), 0.05, 1e-4); // the 5 % point of 36 degrees of freedom
    EXPECT_NEAR(chiSquareUpperTail(3.0, 2), std::exp(-1.5), 1e-12);
    EXPECT_DOUBLE_EQ(chiSquareUpperTail(0, 36), 1.0);
}

TEST(Uniformity, AFivePercentTestRejectsFivePercentOfPureChance) {
    // 4,000 histories of 400 draws: the rate's standard error is 0.34 percentage points.
    const Rates r = rejectionRates(4000, 400, 20150807);
    EXPECT_GE(r.numbers, 0.04);
    EXPECT_LE(r.numbers, 0.06);
    EXPECT_GE(r.pairs, 0.04);
    EXPECT_LE(r.pairs, 0.06);
    EXPECT_NEAR(r.numbersBelowHalf, 0.5, 0.03);
    EXPECT_NEAR(r.pairsBelowHalf, 0.5, 0.03);
    // without the correction the counts look too even and the test hardly ever rejects
    EXPECT_LT(r.plainNumbers, 0.01);
}

TEST(Uniformity, WindowsAndVerdicts) {
    std::mt19937 rng(3);
    std::vector<TZiehung> fair, loaded;
    for (int d = 0; d < 600; ++d) {
        const auto z = randomDraw(rng);
        TZiehung r;
        r.Ziehungsdatum = kFirstSeedDay + d;
        std::copy(z.begin(), z.end(), r.Zahlen.begin());
        fair.push_back(r);
        // 1 and 2 in every draw: more of both numbers and of the pair 1, 2
        r.Zahlen = {1, 2, 5, 9, 14, 20, 27, 33, 35, 36};
        if (d % 3 == 0)
            loaded.push_back(r);
        else
            loaded.push_back(fair.back());
    }
    const double start = kFirstSeedDay, end = kFirstSeedDay + 599;
    const UniformityTest n = numbersUniformity(fair, start, end);
    EXPECT_EQ(n.draws, 600);                                 // the start day counts for the numbers ...
    EXPECT_EQ(pairsUniformity(fair, start, end).draws, 599); // ... not for the pairs
    EXPECT_EQ(n.degreesOfFreedom, 36);
    EXPECT_TRUE(numbersUniformity(loaded, start, end).rejected());
    EXPECT_LT(pairsUniformity(loaded, start, end).pValue, 1e-6);
    EXPECT_EQ(numbersUniformity(fair, start, start + 99).draws, 100);

    // a damaged record (a number twice, a 0) is left out
    auto damaged = fair;
    damaged[5].Zahlen[9] = damaged[5].Zahlen[0];
    damaged[6].Zahlen[3] = 0;
    EXPECT_EQ(numbersUniformity(damaged, start, end).draws, 598);

    UniformityTest t;
    t.draws = 4143;
    t.statistic = 35.2;
    t.degreesOfFreedom = 36;
    t.pValue = 0.4213;
    EXPECT_EQ(uniformitySentence(t, "the numbers"), "The 4,143 draws are consistent with pure chance: p = "
                                                    "0.42 (chi-square 35.2 with 36 degrees of freedom).");
    t.pValue = 0.0042;
    EXPECT_EQ(uniformitySentence(t, "the numbers"), "The 4,143 draws are unlikely under pure chance: p = "
                                                    "0.004 (chi-square 35.2 with 36 degrees of freedom).");
    EXPECT_EQ(uniformitySentence(numbersUniformity(fair, end + 1, end + 9), "the numbers"),
              "There are no draws in the chart window to test the numbers on.");
}
