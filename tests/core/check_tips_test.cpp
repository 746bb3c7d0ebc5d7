#include "TestUtil.h"
#include "tips/TipTable.h"

#include <QStringList>

#include <gtest/gtest.h>

using kwtest::tipOf;

namespace {

// The seed draw of 09.08.2015.
const kw::DrawNumbers kDraw{0, 3, 4, 7, 11, 15, 23, 27, 31, 36, 37};

std::array<QString, 8> tip(std::array<const char*, 8> cells) {
    std::array<QString, 8> out;
    for (size_t i = 0; i < 8; ++i)
        out[i] = QString::fromLatin1(cells[i]);
    return out;
}

void setTip(kw::TipTable& t, int row, std::array<const char*, 8> cells) {
    const auto texts = tip(cells);
    for (int c = 1; c <= 8; ++c)
        t.setCell(c, row, texts[size_t(c - 1)]);
}

} // namespace

struct ZettelCase {
    const char* name;
    std::array<const char*, 8> tip;
    int gewinn;
    bool zusatz;
    uint8_t treffer9, treffer10;
    bool win;
};

class Zettelcheck : public testing::TestWithParam<ZettelCase> {};

TEST_P(Zettelcheck, CountsMainHitsAndSupplementaryNumbers) {
    const ZettelCase& c = GetParam();
    const kw::CheckResult r = kw::Zettelcheck(kDraw, tip(c.tip));
    EXPECT_EQ(r.Gewinn, c.gewinn);
    EXPECT_EQ(r.Zusatz, c.zusatz);
    EXPECT_EQ(r.Treffer[9], c.treffer9);
    EXPECT_EQ(r.Treffer[10], c.treffer10);
    EXPECT_EQ(kw::isWin(r), c.win);
}

INSTANTIATE_TEST_SUITE_P(
    SeedDraw, Zettelcheck,
    testing::Values(
        ZettelCase{"allEight", {"3", "4", "7", "11", "15", "23", "27", "31"}, 8, false, 0, 0, true},
        ZettelCase{"fourAndSupplementary", {"3", "4", "7", "11", "1", "2", "5", "36"}, 4, true, 1, 0, true},
        ZettelCase{"fourAlone", {"3", "4", "7", "11", "1", "2", "5", "6"}, 4, false, 0, 0, false},
        ZettelCase{"onlySupplementary", {"1", "2", "5", "6", "8", "9", "36", "37"}, 0, true, 1, 1, false},
        ZettelCase{"five", {"3", "4", "7", "11", "15", "1", "2", "5"}, 5, false, 0, 0, true},
        // Leading blanks and a sign are numbers to the conversion.
        ZettelCase{"blanksAndSign", {" 3", "+4", "7", "11", "1", "2", "5", "37"}, 4, true, 0, 1, true}),
    [](const testing::TestParamInfo<ZettelCase>& info) { return std::string(info.param.name); });

TEST(Zettelcheck, MarksTheTipsPositionsAndCountsANumberHeldTwiceTwice) {
    const kw::CheckResult r = kw::Zettelcheck(kDraw, tip({"1", "15", "2", "15", "5", "6", "8", "9"}));
    EXPECT_EQ(r.Gewinn, 2);
    const std::array<uint8_t, 11> expected{0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(r.Treffer, expected);
}

TEST(Zettelcheck, StopsSilentlyAtTheFirstTextThatIsNotANumber) {
    // The third argument fails while the first drawn number is compared: only positions 1 and 2
    // have met Zahl[1] (3), so the 4 in position 2 is never found and nothing else is set.
    const kw::CheckResult r = kw::Zettelcheck(kDraw, tip({"3", "4", "x", "7", "11", "15", "36", "37"}));
    EXPECT_EQ(r.Gewinn, 1);
    EXPECT_FALSE(r.Zusatz);
    const std::array<uint8_t, 11> expected{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(r.Treffer, expected);
}

TEST(CheckAllTips, SortsChecksAndMarksTheListedRowsOnly) {
    kw::TipTable t;
    setTip(t, 0, {"31", "3", "27", "4", "23", "7", "15", "11"}); // all eight, stored unsorted
    setTip(t, 1, {"36", "1", "2", "5", "3", "4", "7", "11"});    // four and a supplementary number
    setTip(t, 2, {"", "9", "1", "3", "4", "7", "11", "15"});     // no tip: skipped as it stands
    setTip(t, 3, {"6", "5", "4", "3", "2", "1", "8", "9"});      // two hits
    setTip(t, 4, {"9", "3", "4", "7", "11", "15", "1", "2"});    // beyond the list: not checked
    t.Gewonnen_Zahlen[0][2] = t.Gewonnen_Zahlen[11][4] = 1;      // stale marks are cleared

    const kw::FullCheckResult res = kw::checkAllTips(t, 4, kDraw);

    EXPECT_EQ(res.best, 8);
    EXPECT_TRUE(res.anyWin);
    EXPECT_EQ(res.checked, 3);
    EXPECT_EQ(res.last.Gewinn, 2); // the fields hold the last tip checked
    EXPECT_EQ(tipOf(t, 0), QStringLiteral("3,4,7,11,15,23,27,31"));
    EXPECT_EQ(tipOf(t, 1), QStringLiteral("1,2,3,4,5,7,11,36"));
    EXPECT_EQ(tipOf(t, 2), QStringLiteral(",9,1,3,4,7,11,15"));
    EXPECT_EQ(tipOf(t, 3), QStringLiteral("1,2,3,4,5,6,8,9"));
    EXPECT_EQ(tipOf(t, 4), QStringLiteral("9,3,4,7,11,15,1,2"));

    // Marks refer to the sorted order: row 1 is 1,2,3,4,5,7,11,36.
    const uint8_t row1[12] = {0, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1};
    for (int c = 0; c <= 11; ++c) {
        EXPECT_EQ(t.Gewonnen_Zahlen[c][1], row1[c]) << "column " << c;
        EXPECT_EQ(t.Gewonnen_Zahlen[c][2], 0) << "column " << c;
        EXPECT_EQ(t.Gewonnen_Zahlen[c][4], 0) << "column " << c;
    }
    EXPECT_EQ(t.Gewonnen_Zahlen[11][0], 1);
    EXPECT_EQ(t.Gewonnen_Zahlen[11][3], 0);
}

TEST(CheckAllTips, NothingListedNothingChecked) {
    kw::TipTable t;
    setTip(t, 0, {"31", "3", "27", "4", "23", "7", "15", "11"});
    const kw::FullCheckResult res = kw::checkAllTips(t, 0, kDraw);
    EXPECT_EQ(res.best, 0);
    EXPECT_EQ(res.checked, 0);
    EXPECT_FALSE(res.anyWin);
    EXPECT_EQ(tipOf(t, 0), QStringLiteral("31,3,27,4,23,7,15,11"));
}

TEST(CheckAllTips, StopsAtACellThatIsNotANumberKeepingTheRowsBefore) {
    kw::TipTable t;
    setTip(t, 0, {"31", "3", "27", "4", "23", "7", "15", "11"});
    setTip(t, 1, {"1", "2", "3", "", "5", "6", "7", "8"});
    setTip(t, 2, {"11", "7", "4", "3", "1", "2", "5", "6"});
    try {
        kw::checkAllTips(t, 3, kDraw);
        FAIL() << "no error";
    } catch (const kw::CellError& e) {
        EXPECT_EQ(e.row, 1);
        EXPECT_EQ(e.column, 4);
        EXPECT_TRUE(e.text.isEmpty());
    }
    EXPECT_EQ(tipOf(t, 0), QStringLiteral("3,4,7,11,15,23,27,31"));
    EXPECT_EQ(t.Gewonnen_Zahlen[11][0], 1);
    EXPECT_EQ(tipOf(t, 2), QStringLiteral("11,7,4,3,1,2,5,6"));
    EXPECT_EQ(t.Gewonnen_Zahlen[1][2], 0);
}

TEST(CheckAllTips, ErrorMessageNamesTheTipAsTheListCountsIt) {
    EXPECT_EQ(kw::cellErrorMessage({1, 4, QString()}),
              QStringLiteral(
                  "Tip 2, number 4 is empty. The check stopped at this tip; correct it with \"show/edit\"."));
    EXPECT_EQ(
        kw::cellErrorMessage({0, 3, QStringLiteral("x7")}),
        QStringLiteral("Tip 1, number 3 (\"x7\") is not a number. The check stopped at this tip; correct it "
                       "with \"show/edit\"."));
}
