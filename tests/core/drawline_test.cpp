#include "app/Dates.h"
#include "draws/DrawLine.h"
#include "draws/UpdateDay.h"
#include "draws/Ziehung.h"

#include <gtest/gtest.h>

using namespace kw;

namespace {

struct LinesCase {
    const char* name;
    QByteArray body;
    QStringList lines;
};

class ReplyLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ReplyLinesTest, SplitsAtEveryKindOfBreak) {
    EXPECT_EQ(replyLines(GetParam().body), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, ReplyLinesTest,
    ::testing::Values(LinesCase{"empty", "", {}}, LinesCase{"noBreak", "a", {"a"}},
                      LinesCase{"finalBreakStartsNoLine", "a\r\n", {"a"}},
                      LinesCase{"mixedBreaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                      LinesCase{"emptyLineInside", "a\r\n\r\nb\r\n", {"a", "", "b"}},
                      LinesCase{"onlyABreak", "\r\n", {""}}, LinesCase{"crCrLf", "a\r\r\nb", {"a", "", "b"}},
                      // 8-bit text: every byte is one character, nothing is decoded as UTF-8.
                      LinesCase{"latin1", "\xe4\xf6\xfc", {QStringLiteral(u"\u00e4\u00f6\u00fc")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawLine, ExampleLineGivesTheFirstSeedRecord) {
    const auto numbers = parseDrawLine(u"x,30,4,19,5,12,10,8,9,6,29;");
    ASSERT_TRUE(numbers);
    TZiehung record;
    record.Ziehungsdatum = 42223; // 07.08.2015
    record.Zahlen = *numbers;
    EXPECT_EQ(record, seedDraws()[0]);
}

TEST(DrawLine, LeadingFieldAndTailAreNotLookedAt) {
    const DrawLineNumbers expected{1, 2, 3, 4, 5, 6, 7, 37, 36, 35};
    EXPECT_EQ(parseDrawLine(u",37,7,6,5,4,3,2,1,36,35;"), expected);
    EXPECT_EQ(parseDrawLine(u"Ziehung 12. Aug;x,37,7,6,5,4,3,2,1,36,35;tail, with, commas;"), expected);
    // Supplementary numbers keep their order, even when descending or below a drawn number.
    EXPECT_EQ(parseDrawLine(u"a,10,11,12,13,14,15,16,17,9,2;"),
              (DrawLineNumbers{10, 11, 12, 13, 14, 15, 16, 17, 9, 2}));
}

struct BadLine {
    const char16_t* line;
    const char* why; // what the refusal says
};

class BadDrawLineTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadDrawLineTest, IsRefusedWithItsReason) {
    QString why;
    EXPECT_EQ(parseDrawLine(GetParam().line, &why), std::nullopt)
        << QStringView(GetParam().line).toString().toStdString();
    EXPECT_EQ(why.toStdString(), GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadDrawLineTest,
    ::testing::Values(BadLine{u"", "the line is empty"},
                      BadLine{u"x", "the line has no comma before its ten numbers"},
                      BadLine{u"x,1,2,3,4,5,6,7,8,9;", "the line holds fewer than ten numbers"},
                      BadLine{u"x,1,2,3,4,5,6,7,8,9,10", "no semicolon follows the tenth number"},
                      BadLine{u"x,1,2,3,4,5,6,7,8,9,10,11;", "number 10 (\"10,11\") is not a number"},
                      BadLine{u"x,1,2,3,a,5,6,7,8,9,10;", "number 4 (\"a\") is not a number"},
                      BadLine{u"x,1,2,3,,5,6,7,8,9,10;", "number 4 (\"\") is not a number"},
                      BadLine{u"x,1,2,3,4,5,6,7,8,9, ;", "number 10 (\" \") is not a number"},
                      BadLine{u"x,1,2,3,4,5,6,7,8,9,300;", "number 10 (300) is outside 1..37"}, // not 44
                      BadLine{u"x,0,2,3,4,5,6,7,8,9,10;", "number 1 (0) is outside 1..37"},
                      BadLine{u"x,1,2,3,4,5,6,7,38,9,10;", "number 8 (38) is outside 1..37"},
                      BadLine{u"x,-1,2,3,4,5,6,7,8,9,10;", "number 1 (-1) is outside 1..37"}));
TEST(UpdateSummaryTest, SaysWhatTheUpdateBrought) {
    const double day = kw::dayFromDate(QDate(2026, 12, 9));
    using kw::UpdateEnd;
    EXPECT_EQ(kw::updateSummary(UpdateEnd::Done, 4140, day), "4,140 draws added, newest 09.12.2026");
    EXPECT_EQ(kw::updateSummary(UpdateEnd::Done, 1, day), "1 draw added, newest 09.12.2026");
    EXPECT_EQ(kw::updateSummary(UpdateEnd::Done, 0, day), "up to date");
    EXPECT_EQ(kw::updateSummary(UpdateEnd::Cancelled, 12, day),
              "Update cancelled: 12 draws added, newest 09.12.2026");
    EXPECT_EQ(kw::updateSummary(UpdateEnd::Failed, 0, day), "Update stopped: no draws added");
}

} // namespace
