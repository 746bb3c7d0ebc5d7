#include "charts/Uniformity.h"

#include "app/Dates.h"
#include "app/Numbers.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>

namespace kw {

namespace {

constexpr int kNumbers = 37;
constexpr int kPairs = 36;

bool tenDifferent(const TZiehung& z) {
    uint64_t seen = 0;
    for (uint8_t n : z.Zahlen) {
        if (n < 1 || n > kNumbers || (seen >> n & 1))
            return false;
        seen |= uint64_t(1) << n;
    }
    return true;
}

// Solves S x = b for a symmetric positive definite S by Cholesky; S is overwritten.
bool choleskySolve(std::vector<double>& S, std::vector<double>& b, int n) {
    for (int j = 0; j < n; ++j) {
        double d = S[size_t(j * n + j)];
        for (int k = 0; k < j; ++k)
            d -= S[size_t(j * n + k)] * S[size_t(j * n + k)];
        if (d <= 0)
            return false;
        d = std::sqrt(d);
        S[size_t(j * n + j)] = d;
        for (int i = j + 1; i < n; ++i) {
            double v = S[size_t(i * n + j)];
            for (int k = 0; k < j; ++k)
                v -= S[size_t(i * n + k)] * S[size_t(j * n + k)];
            S[size_t(i * n + j)] = v / d;
        }
    }
    for (int i = 0; i < n; ++i) { // L y = b
        double v = b[size_t(i)];
        for (int k = 0; k < i; ++k)
            v -= S[size_t(i * n + k)] * b[size_t(k)];
        b[size_t(i)] = v / S[size_t(i * n + i)];
    }
    for (int i = n - 1; i >= 0; --i) { // L' x = y
        double v = b[size_t(i)];
        for (int k = i + 1; k < n; ++k)
            v -= S[size_t(k * n + i)] * b[size_t(k)];
        b[size_t(i)] = v / S[size_t(i * n + i)];
    }
    return true;
}

} // namespace

double chiSquareUpperTail(double x, int df) {
    if (df <= 0)
        return 1;
    if (x <= 0)
        return 1;
    return boost::math::cdf(boost::math::complement(boost::math::chi_squared(df), x));
}

UniformityTest numbersUniformity(const std::array<int32_t, 38>& counts, int draws, int perDraw) {
    UniformityTest t;
    t.draws = draws;
    if (draws <= 0 || perDraw <= 0 || perDraw >= kNumbers)
        return t;
    const double N = kNumbers;
    const double p = perDraw / N;
    const double expected = draws * p;
    double pearson = 0;
    for (int i = 1; i <= kNumbers; ++i) {
        const double d = counts[size_t(i)] - expected;
        pearson += d * d / expected;
    }
    t.statistic = pearson * (N - 1) / (N - perDraw);
    t.degreesOfFreedom = kNumbers - 1;
    t.pValue = chiSquareUpperTail(t.statistic, t.degreesOfFreedom);
    return t;
}

UniformityTest pairsUniformity(const std::array<int32_t, 37>& counts, int draws) {
    UniformityTest t;
    t.draws = draws;
    if (draws <= 0)
        return t;
    const double N = kNumbers, k = 8;
    const double q = k * (k - 1) / (N * (N - 1));
    const double r3 = q * (k - 2) / (N - 2);
    const double r4 = r3 * (k - 3) / (N - 3);
    std::vector<double> S(size_t(kPairs * kPairs));
    for (int i = 0; i < kPairs; ++i)
        for (int j = 0; j < kPairs; ++j) {
            const int gap = std::abs(i - j);
            S[size_t(i * kPairs + j)] = (gap == 0 ? q : gap == 1 ? r3 : r4) - q * q;
        }
    std::vector<double> d(kPairs), x(kPairs);
    for (int i = 0; i < kPairs; ++i)
        d[size_t(i)] = x[size_t(i)] = counts[size_t(i + 1)] - draws * q;
    if (!choleskySolve(S, x, kPairs))
        return t;
    double quad = 0;
    for (int i = 0; i < kPairs; ++i)
        quad += d[size_t(i)] * x[size_t(i)];
    t.statistic = quad / draws;
    t.degreesOfFreedom = kPairs;
    t.pValue = chiSquareUpperTail(t.statistic, t.degreesOfFreedom);
    return t;
}

UniformityTest numbersUniformity(const std::vector<TZiehung>& records, double start, double end) {
    std::array<int32_t, 38> counts{};
    int draws = 0;
    for (const TZiehung& z : records) {
        if (!inWindowStartIncluded(z.Ziehungsdatum, start, end) || !tenDifferent(z))
            continue;
        for (uint8_t n : z.Zahlen)
            ++counts[n];
        ++draws;
    }
    return numbersUniformity(counts, draws, 10);
}

UniformityTest pairsUniformity(const std::vector<TZiehung>& records, double start, double end) {
    std::array<int32_t, 37> counts{};
    int draws = 0;
    for (const TZiehung& z : records) {
        if (!inWindowStartExcluded(z.Ziehungsdatum, start, end) || !tenDifferent(z))
            continue;
        uint64_t main = 0;
        for (size_t i = 0; i < 8; ++i)
            main |= uint64_t(1) << z.Zahlen[i];
        for (int i = 1; i <= kPairs; ++i)
            if ((main >> i & 3) == 3)
                ++counts[size_t(i)];
        ++draws;
    }
    return pairsUniformity(counts, draws);
}

QString uniformitySentence(const UniformityTest& t, const QString& what) {
    if (!t.valid())
        return QStringLiteral("There are no draws in the chart window to test %1 on.").arg(what);
    const QString n = formatCount(t.draws);
    const QString drawsText =
        t.draws == 1 ? QStringLiteral("The 1 draw") : QStringLiteral("The %1 draws").arg(n);
    const QString p = t.pValue < 0.001
                          ? QStringLiteral("p < 0.001")
                          : QStringLiteral("p = ") + formatDecimal(t.pValue, t.pValue < 0.01 ? 3 : 2);
    const QString verdict = t.rejected() ? QStringLiteral("are unlikely under pure chance")
                                         : QStringLiteral("are consistent with pure chance");
    return QStringLiteral("%1 %2: %3 (chi-square %4 with %5 degrees of freedom).")
        .arg(drawsText, verdict, p, formatDecimal(t.statistic, 1), QString::number(t.degreesOfFreedom));
}

} // namespace kw
