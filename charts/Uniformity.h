#pragma once

#include "draws/Ziehung.h"

#include <QString>
#include <array>
#include <vector>

namespace kw {

/**
 * A chi-square test that the history is pure chance, corrected for the draws being without
 * replacement.
 *
 * Numbers. In one draw k different numbers out of N = 37 come up (k = 10: the distribution bars
 * count the eight drawn and the two supplementary numbers, which together are ten different
 * numbers, every set of ten equally likely). For number i let I_i be 1 when it is among them:
 * p = k/N, Var I_i = p(1-p), and for i != j Cov(I_i, I_j) = k(k-1)/(N(N-1)) - p^2
 * = -p(1-p)/(N-1). Over n independent draws the counts X_i have covariance
 * n p(1-p) N/(N-1) (Id - J/N), J the all-ones matrix. Since the counts always add up to n k,
 * X - np lies in the space orthogonal to (1, ..., 1), where that matrix is n p(1-p) N/(N-1) times
 * the identity. So |X - np|^2 / (n p(1-p) N/(N-1)) is asymptotically chi-square with N-1 degrees
 * of freedom, and Pearson's sum(X_i - np)^2/(np) must be multiplied by (N-1)/(N(1-p)) =
 * (N-1)/(N-k): 36/27 for ten numbers (36/29 for eight). Without it the plain statistic is too
 * small and the test hardly ever rejects.
 *
 * Neighbouring pairs. The 36 pair counts do not add up to a constant, and overlapping pairs
 * (i, i+1) and (i+1, i+2) are more correlated than the others, so no single factor fits. The
 * statistic is the full quadratic form (X - nq)' S^-1 (X - nq) / n with the exact covariance S of
 * one draw's pair indicators: q = k(k-1)/(N(N-1)) for a pair, r3 = k(k-1)(k-2)/(N(N-1)(N-2)) for
 * two overlapping pairs, r4 = k(k-1)(k-2)(k-3)/(N(N-1)(N-2)(N-3)) for two apart (k = 8 main
 * numbers, as the pair analysis counts). It is asymptotically chi-square with 36 degrees of freedom.
 */
struct UniformityTest {
    int draws = 0;
    double statistic = 0; // corrected
    int degreesOfFreedom = 0;
    double pValue = 1;

    bool valid() const { return degreesOfFreedom > 0 && draws > 0; }
    bool rejected(double level = 0.05) const { return valid() && pValue < level; }
};

/** Chi-square upper tail: the chance of a statistic at least x with df degrees of freedom. */
double chiSquareUpperTail(double x, int df);

/** Numbers 1..37, k per draw; counts[0] is ignored. */
UniformityTest numbersUniformity(const std::array<int32_t, 38>& counts, int draws, int perDraw);
/** Pairs i, i+1 (i = 1..36) among eight main numbers per draw; counts[0] is ignored. */
UniformityTest pairsUniformity(const std::array<int32_t, 37>& counts, int draws);

/**
 * The two tests over the windows of the chart tab: numbers over start <= date <= end with all
 * ten numbers (as the distribution bars count them), pairs over start < date <= end with the
 * eight main numbers (as the pair analysis counts them). Records whose ten numbers are not ten
 * different numbers 1..37 are left out of both.
 */
UniformityTest numbersUniformity(const std::vector<TZiehung>& records, double start, double end);
UniformityTest pairsUniformity(const std::vector<TZiehung>& records, double start, double end);

/**
 * "The 4,143 draws are consistent with pure chance: p = 0.42 (chi-square 31.2 with 36 degrees of
 * freedom)."; what names the tested thing when the window holds no draw.
 */
QString uniformitySentence(const UniformityTest& t, const QString& what);

} // namespace kw
