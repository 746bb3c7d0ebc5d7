#include "app/Dates.h"
#include "app/Numbers.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace kw;

TEST(Dates, DayCountsAndTheirTextFormAreFixed) {
    EXPECT_EQ(dayFromDate(QDate(2015, 8, 7)), 42223.0);
    EXPECT_EQ(dateFromDay(42273.0), QDate(2015, 9, 26));
    EXPECT_EQ(dateFromDay(42273.75), QDate(2015, 9, 26)); // time of day is cut off
    EXPECT_EQ(formatDay(42223), QStringLiteral("07.08.2015"));
    EXPECT_EQ(formatYmd(42223), QStringLiteral("20150807"));
}

TEST(Dates, TextFormIgnoresTheSystemLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // "/" as separator
    EXPECT_EQ(formatDay(42223), QStringLiteral("07.08.2015"));
    EXPECT_EQ(parseDate(QStringLiteral("07.08.2015")), QDate(2015, 8, 7));
    QLocale::setDefault(before);
}

TEST(Dates, OnlyRealDaysInDottedFormParse) {
    EXPECT_EQ(parseDate(QStringLiteral("31.02.2016")), std::nullopt);
    EXPECT_EQ(parseDate(QStringLiteral("2016-02-03")), std::nullopt);
    EXPECT_EQ(parseDate(QStringLiteral("07/08/2015")), std::nullopt);
    EXPECT_EQ(parseDate(QString()), std::nullopt);
    EXPECT_EQ(parseDate(QStringLiteral("29.02.2016")), QDate(2016, 2, 29));
}

TEST(Numbers, RoundsHalvesToEven) {
    const std::pair<double, int64_t> cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {4.5, 4},  {9.75, 10},
                                                {-2.5, -2}, {18.8, 19}, {49.73, 50}, {37.3, 37}};
    for (auto [x, want] : cases)
        EXPECT_EQ(Round(x), want) << x;
}

TEST(Numbers, StringToIntegerAcceptsOnlyWholeThirtyTwoBitNumbers) {
    EXPECT_EQ(tryStrToInt(u"12345"), 12345);
    EXPECT_EQ(tryStrToInt(u"-7"), -7);
    EXPECT_EQ(tryStrToInt(u"+7"), 7);
    EXPECT_EQ(tryStrToInt(u" 7"), 7);
    EXPECT_EQ(tryStrToInt(u"-2147483648"), INT32_MIN);
    for (const char16_t* bad : {u"", u"7 ", u"abc", u"1.5", u"2147483648", u"-", u"1e3"})
        EXPECT_EQ(tryStrToInt(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
    EXPECT_THROW(StrToInt(u"x"), ConversionError);
}

TEST(Numbers, CountsHaveACommaBetweenThousandsWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    const std::pair<qint64, const char*> cases[] = {{0, "0"},
                                                    {999, "999"},
                                                    {1000, "1,000"},
                                                    {4143, "4,143"},
                                                    {38608020, "38,608,020"},
                                                    {-1234567, "-1,234,567"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(formatCount(n), QString::fromLatin1(text)) << n;
    QLocale::setDefault(before);
}
