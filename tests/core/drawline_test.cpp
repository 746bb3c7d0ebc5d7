#include "draws/DrawLine.h"
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

class BadDrawLineTest : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(BadDrawLineTest, IsRefused) {
    EXPECT_EQ(parseDrawLine(GetParam()), std::nullopt) << QStringView(GetParam()).toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lines, BadDrawLineTest,
                         ::testing::Values(u"", u"x", u"x,1,2,3,4,5,6,7,8,9;", // nine values
                                           u"x,1,2,3,4,5,6,7,8,9,10",          // no semicolon
                                           u"x,1,2,3,4,5,6,7,8,9,10,11;",      // tenth value "10,11"
                                           u"x,1,2,3,a,5,6,7,8,9,10;",         // letters
                                           u"x,1,2,3,,5,6,7,8,9,10;",          // empty value
                                           u"x,1,2,3,4,5,6,7,8,9, ;",          // blank value
                                           u"x,1,2,3,4,5,6,7,8,9,300;",        // would be stored as 44
                                           u"x,0,2,3,4,5,6,7,8,9,10;",         // below the range
                                           u"x,1,2,3,4,5,6,7,38,9,10;",        // above the range
                                           u"x,-1,2,3,4,5,6,7,8,9,10;"));
} // namespace
