#include "TestUtil.h"
#include "charts/Analyses.h"
#include "charts/ChartScale.h"

#include <gtest/gtest.h>

using namespace kw;
using kwtest::draw;

namespace {
// Window 100 < date <= 110: the draw on the start day and the one after the end stay out.
const std::vector<TZiehung> kWindowHistory = {
    draw(100, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),       // start day: not counted
    draw(103, {1, 2, 3, 4, 5, 6, 7, 9, 36, 37}),      // sum 37
    draw(107, {1, 2, 3, 4, 5, 6, 7, 12, 8, 9}),       // sum 40; supplementary 8, 9 are no part of it
    draw(110, {1, 2, 3, 4, 5, 6, 7, 9, 20, 21}),      // end day: counted, sum 37 again
    draw(111, {30, 31, 32, 33, 34, 35, 36, 37, 1, 2}) // after the end
};
} // namespace

TEST(CrossSumsTest, CountsTheWindowAndKeepsEmptySumsBetween) {
    const CrossSums r = crossSums(kWindowHistory, 100, 110);
    EXPECT_EQ(r.draws, 3);
    EXPECT_EQ(r.smallest, 37);
    EXPECT_EQ(r.largest, 40);
    EXPECT_EQ(r.counter[37], 2);
    EXPECT_EQ(r.counter[38], 0);
    EXPECT_EQ(r.counter[39], 0);
    EXPECT_EQ(r.counter[40], 1);
    EXPECT_EQ(r.counter[36], 0); // the start-day draw (sum 36) is out
    EXPECT_EQ(r.total, 114);
    EXPECT_EQ(r.title().toStdString(), "Distribution of cross sums in 3 draws  -- average: 38");
}

TEST(CrossSumsTest, TitleRoundsTheAverageHalfToEvenAndSaysSoWithoutDraws) {
    // Sums 36 and 37: average 36.5 rounds to 36.
    const std::vector<TZiehung> h = {draw(1, {1, 2, 3, 4, 5, 6, 7, 8, 0, 0}),
                                     draw(2, {1, 2, 3, 4, 5, 6, 7, 9, 0, 0})};
    EXPECT_EQ(crossSums(h, 0, 2).title().toStdString(),
              "Distribution of cross sums in 2 draws  -- average: 36");

    const CrossSums none = crossSums(h, 2, 5);
    EXPECT_TRUE(none.empty());
    EXPECT_GT(none.smallest, none.largest); // no bars at all
    EXPECT_EQ(none.title().toStdString(),
              "Distribution of cross sums in 0 draws  -- no average without draws");
}

TEST(CrossSumsTest, ADamagedRecordBeyondTheCountersIsLeftOut) {
    const std::vector<TZiehung> h = {draw(1, {200, 200, 3, 4, 5, 6, 7, 8, 0, 0}),
                                     draw(2, {1, 2, 3, 4, 5, 6, 7, 8, 0, 0})};
    const CrossSums r = crossSums(h, 0, 2);
    EXPECT_EQ(r.draws, 1);
    EXPECT_EQ(r.largest, 36);
}

TEST(PairCountsTest, RunsAddOneLessThanTheirLengthAndSupplementaryNumbersNeverPair) {
    const std::vector<TZiehung> h = {
        // run 3-4-5-6 (3 pairs), run 20-21 (1 pair); 36 is drawn and 37 only supplementary
        draw(1, {3, 4, 5, 6, 10, 20, 21, 36, 37, 11}),
        // 1-2 and 36-37; 9 supplementary does not pair with 10
        draw(2, {1, 2, 10, 15, 25, 30, 36, 37, 9, 8}),
    };
    const PairCounts r = pairCounts(h, 0, 2);
    EXPECT_EQ(r.draws, 2);
    EXPECT_EQ(r.pairs, 6);
    for (int i : {1, 3, 4, 5, 20, 36})
        EXPECT_EQ(r.counter[size_t(i)], 1) << "pair " << i;
    EXPECT_EQ(r.counter[9], 0);
    EXPECT_EQ(r.counter[10], 0);
    EXPECT_EQ(r.lowest(), 0);
    // Several pairs share the top count: the lowest first number is named.
    EXPECT_EQ(r.best(), 1);
    EXPECT_EQ(r.title().toStdString(), "Draws: 2  pairs: 6  Max: 1 => 1,2");
}

TEST(PairCountsTest, WindowAndTies) {
    const std::vector<TZiehung> h = {
        draw(10, {7, 8, 1, 3, 5, 11, 13, 15, 0, 0}), // start day: out
        draw(11, {12, 13, 20, 21, 30, 32, 34, 36, 0, 0}),
        draw(12, {20, 21, 12, 13, 1, 3, 5, 7, 0, 0}), // end day: in
    };
    const PairCounts r = pairCounts(h, 10, 12);
    EXPECT_EQ(r.counter[7], 0);
    EXPECT_EQ(r.highest(), 2);
    EXPECT_EQ(r.best(), 12); // 12,13 and 20,21 both twice
    EXPECT_EQ(r.title().toStdString(), "Draws: 2  pairs: 4  Max: 2 => 12,13");

    const PairCounts none = pairCounts(h, 12, 20);
    EXPECT_EQ(none.title().toStdString(), "Draws: 0  pairs: 0  Max: 0 => 1,2");
    EXPECT_EQ(none.lowest(), 0);
}

struct NiceStepCase {
    double rough;
    bool integral;
    double step;
};
class NiceStepTest : public ::testing::TestWithParam<NiceStepCase> {};
TEST_P(NiceStepTest, PicksOneTwoFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(niceStep(GetParam().rough, GetParam().integral), GetParam().step);
}
INSTANTIATE_TEST_SUITE_P(Cases, NiceStepTest,
                         ::testing::Values(NiceStepCase{0.3, true, 1}, NiceStepCase{0.3, false, 0.5},
                                           NiceStepCase{1, true, 1}, NiceStepCase{1.2, true, 2},
                                           NiceStepCase{3, true, 5}, NiceStepCase{7, true, 10},
                                           NiceStepCase{40, true, 50}, NiceStepCase{0, true, 1}));

TEST(ValueScaleTest, AutomaticStartsAtZeroAndEndsOnAStep) {
    const AxisScale s = valueScale(true, 5, 6, 3, 47, 5, true);
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.step, 10);
    EXPECT_EQ(s.maximum, 50);
    // Nothing to show still gives an axis with height.
    const AxisScale empty = valueScale(true, 0, 0, 0, 0, 5, true);
    EXPECT_GT(empty.maximum, empty.minimum);
}

TEST(ValueScaleTest, FixedRangeIsKeptAndAFlatOneGetsAUnit) {
    const AxisScale s = valueScale(false, 3, 17, 3, 17, 5, true);
    EXPECT_EQ(s.minimum, 3);
    EXPECT_EQ(s.maximum, 17);
    const AxisScale flat = valueScale(false, 0, 0, 0, 0, 5, true);
    EXPECT_EQ(flat.minimum, 0);
    EXPECT_EQ(flat.maximum, 1);
}

TEST(LabelStrideTest, ThinsOutUntilLabelsFit) {
    const struct {
        double slot, label;
        int stride;
    } cases[] = {{20, 18, 1}, {9, 18, 2}, {3, 14, 5}, {1.5, 20, 20}, {0.5, 20, 50}, {0.01, 20, 2000}};
    for (const auto& c : cases)
        EXPECT_EQ(labelStride(c.slot, c.label), c.stride) << c.slot << " " << c.label;
}
