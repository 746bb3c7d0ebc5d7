#include "TestUtil.h"
#include "tips/TipExport.h"

#include <gtest/gtest.h>

using namespace kw;

namespace {

void setTip(TipTable& t, int row, std::array<const char*, 8> cells) {
    for (int c = 1; c <= 8; ++c)
        t.setCell(c, row, QString::fromLatin1(cells[size_t(c - 1)]));
}

/** Tips against the seed draw of 09.08.2015: 3 4 7 11 15 23 27 31, supplementary 36 37. */
struct TipExportTest : testing::Test {
    TipTable t;
    ShownDraw draw{42225, {0, 3, 4, 7, 11, 15, 23, 27, 31, 36, 37}};
    void SetUp() override {
        setTip(t, 0, {"3", "4", "7", "11", "15", "23", "27", "31"}); // eight hits
        setTip(t, 1, {"1", "2", "3", "4", "5", "7", "11", "37"});    // four and the second supplementary
        // row 2 holds no tip
        setTip(t, 3, {"31", "3", "27", "4", "23", "7", "15", "36"}); // as stored, unsorted: seven and one
        setTip(t, 4, {"1", "2", "5", "6", "8", "9", "36", "37"});    // both supplementary, no hit
        setTip(t, 5, {"1", "2", "5", "6", "8", "9", "10", "12"});    // beyond the rows on show
    }
};

} // namespace

TEST_F(TipExportTest, TextHasOneTipPerLineAndSkipsEmptyRowsAndRowsNotShown) {
    const auto rows = tipRowsToExport(t, 5);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(tipsText(t, rows), QStringLiteral("3 4 7 11 15 23 27 31\n"
                                                "1 2 3 4 5 7 11 37\n"
                                                "31 3 27 4 23 7 15 36\n"
                                                "1 2 5 6 8 9 36 37\n"));
    // A selection hands out its rows only, in row order; a selected empty row adds nothing.
    const auto picked = tipRowsToExport(t, 5, {4, 2, 1});
    EXPECT_EQ(picked, (std::vector<int>{1, 4}));
    EXPECT_EQ(tipsText(t, picked), QStringLiteral("1 2 3 4 5 7 11 37\n1 2 5 6 8 9 36 37\n"));
}

TEST_F(TipExportTest, CsvRowsCarryTheCheckAgainstTheDrawOnDisplay) {
    t.Gewonnen_Zahlen[1][4] = 1; // stale marks of an older check do not leak into the file
    EXPECT_EQ(tipsCsv(t, tipRowsToExport(t, 5), draw),
              QByteArray("Tip,Number 1,Number 2,Number 3,Number 4,Number 5,Number 6,Number 7,Number 8,"
                         "Draw date,Hits,Supplementary held,Win\r\n"
                         "1,3,4,7,11,15,23,27,31,2015-08-09,8,,yes\r\n"
                         "2,1,2,3,4,5,7,11,37,2015-08-09,4,37,yes\r\n"
                         "4,31,3,27,4,23,7,15,36,2015-08-09,7,36,yes\r\n"
                         "5,1,2,5,6,8,9,36,37,2015-08-09,0,36 37,no\r\n"));
}

TEST_F(TipExportTest, CsvWithoutADrawOrWithABadCellLeavesTheCheckFieldsEmpty) {
    t.setCell(3, 1, QStringLiteral("x,\"y\""));
    const auto rows = std::vector<int>{0, 1};
    const QByteArray header = tipsCsv(t, {}, {});
    EXPECT_EQ(tipsCsv(t, rows, {}),
              header + "1,3,4,7,11,15,23,27,31,,,,\r\n2,1,2,\"x,\"\"y\"\"\",4,5,7,11,37,,,,\r\n");
    EXPECT_EQ(tipsCsv(t, rows, draw), header + "1,3,4,7,11,15,23,27,31,2015-08-09,8,,yes\r\n"
                                               "2,1,2,\"x,\"\"y\"\"\",4,5,7,11,37,,,,\r\n");
    const TipOut bad = tipOut(t, 1, draw);
    EXPECT_FALSE(bad.checked);
    const TipOut good = tipOut(t, 3, draw);
    EXPECT_TRUE(good.checked && good.win);
    EXPECT_EQ(good.check.Treffer[8], 0); // 36, the supplementary number, is no main hit
    EXPECT_EQ(good.supplementaryHeld, std::vector<int>{36});
}
