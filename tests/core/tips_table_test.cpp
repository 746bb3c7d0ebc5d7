#include "TestUtil.h"
#include "tips/TipTable.h"

#include <QStringList>

#include <gtest/gtest.h>

using kwtest::tipOf;

namespace {

void setTip(kw::TipTable& t, int row, std::array<const char*, 8> cells) {
    for (int c = 1; c <= 8; ++c)
        t.setCell(c, row, QString::fromLatin1(cells[size_t(c - 1)]));
}

} // namespace

TEST(Loeschen, MovesKeptTipsUpAndFlagsTheFreedRowsAtTheEnd) {
    // Four tips in use: A and B kept, rows 1 and 3 marked for replacement, the rest empty and kept.
    kw::TipTable t;
    setTip(t, 0, {"1", "2", "3", "4", "5", "6", "7", "8"});
    setTip(t, 1, {"9", "9", "9", "9", "9", "9", "9", "9"});
    setTip(t, 2, {"11", "12", "13", "14", "15", "16", "17", "18"});
    setTip(t, 3, {"20", "21", "22", "23", "24", "25", "26", "27"});
    t.Tippreihe1[1] = t.Tippreihe1[3] = true;
    t.Tippreihen[9][2] = QStringLiteral("stays"); // columns 9 and 10 never move

    t.Loeschen();

    EXPECT_EQ(tipOf(t, 0), QStringLiteral("1,2,3,4,5,6,7,8"));
    EXPECT_EQ(tipOf(t, 1), QStringLiteral("11,12,13,14,15,16,17,18"));
    EXPECT_FALSE(t.Tippreihe1[0]);
    EXPECT_FALSE(t.Tippreihe1[1]);
    for (int r = 2; r < kw::kTipRows; ++r) {
        EXPECT_EQ(tipOf(t, r), QStringLiteral(",,,,,,,")) << r;
        EXPECT_EQ(t.Tippreihe1[r], r >= 98) << r;
    }
    EXPECT_EQ(t.Tippreihen[9][2], QStringLiteral("stays"));
    EXPECT_TRUE(t.Tippreihen[9][1].isEmpty());
}

TEST(Loeschen, AllFlaggedEmptiesTheTableAndKeepsEveryFlag) {
    kw::TipTable t;
    for (int r = 0; r < kw::kTipRows; ++r) {
        setTip(t, r, {"1", "2", "3", "4", "5", "6", "7", "8"});
        t.Tippreihe1[r] = true;
    }
    t.Loeschen();
    for (int r = 0; r < kw::kTipRows; ++r) {
        EXPECT_EQ(tipOf(t, r), QStringLiteral(",,,,,,,")) << r;
        EXPECT_TRUE(t.Tippreihe1[r]) << r;
    }
}

struct ItemTextCase {
    const char* name;
    std::array<const char*, 8> cells;
    std::array<uint8_t, 11> marks; // [1..8] hits, [9], [10] supplementary
    const char* expected;
};

class TipItemText : public testing::TestWithParam<ItemTextCase> {};

TEST_P(TipItemText, LinesTheNumbersUpAndAppendsTheMarks) {
    const ItemTextCase& c = GetParam();
    kw::TipTable t;
    setTip(t, 7, c.cells);
    for (int k = 1; k <= 10; ++k)
        t.Gewonnen_Zahlen[k][7] = c.marks[size_t(k)];
    const QString text = kw::tipItemText(t, 7);
    EXPECT_EQ(text.toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TipItemText,
    testing::Values(
        // Hits on 7 and 22 and the first supplementary number: 42 characters.
        ItemTextCase{"example",
                     {"3", "7", "12", "18", "22", "29", "33", "37"},
                     {0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0},
                     "  3    7  12  18  22  29  33  37       2+1"},
        ItemTextCase{"empty", {"", "", "", "", "", "", "", ""}, {}, "                                     0"},
        ItemTextCase{"bothSupplementary",
                     {"1", "2", "3", "4", "5", "6", "10", "11"},
                     {0, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1},
                     "  1    2    3    4    5    6  10  11       5+1+1"},
        // Text that is not a number is shown as it is; longer cells take the room they need.
        ItemTextCase{"notANumber",
                     {"x", "abc", "7", "", "", "", "", ""},
                     {},
                     "  x  abc    7                           0"}),
    [](const testing::TestParamInfo<ItemTextCase>& info) { return std::string(info.param.name); });

TEST(TipItemText, ExampleIsFortyTwoCharacters) {
    kw::TipTable t;
    setTip(t, 0, {"3", "7", "12", "18", "22", "29", "33", "37"});
    t.Gewonnen_Zahlen[2][0] = t.Gewonnen_Zahlen[5][0] = t.Gewonnen_Zahlen[9][0] = 1;
    EXPECT_EQ(kw::tipItemText(t, 0).size(), 42);
}

TEST(TipItemHeight, DividesTheListAndKeepsRowsTouchable) {
    struct Case {
        double list;
        int n;
        int height;
    };
    const Case cases[] = {
        {746, 1, 50},  {746, 15, 50}, // 49.73 rounds up to the cap
        {746, 20, 37}, {746, 96, 30}, // 7.8 is far too small: 30, not 25
        {75, 2, 38},   {73, 2, 36},   // 37.5 and 36.5: halves go to the even neighbour
        {50, 2, 25},   {49, 2, 30},   // 25 stays, 24.5 -> 24 is below 25
        {0, 4, 30},                   // a list not laid out yet
    };
    for (const Case& c : cases)
        EXPECT_EQ(kw::tipItemHeight(c.list, c.n), c.height) << c.list << " / " << c.n;
}
