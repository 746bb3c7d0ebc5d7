#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kw {

/** Day 0 of the program's day count: 30 December 1899. Whole numbers are days without time. */
inline constexpr double kFirstSeedDay = 42223.0; // 07.08.2015

/** The days "dd.mm.yyyy" can show: 01.01.0001 and 31.12.9999 as day counts. */
inline constexpr double kFirstCalendarDay = -693593.0;
inline constexpr double kLastCalendarDay = 2958465.0;

/**
 * Whether a record's date is a day at all: a number within the calendar. A record with any other
 * date (NaN, infinity, a day count far outside the calendar) is damaged, and every reader of the
 * history passes over it: no window holds it, the lookup never shows it, the update never
 * continues after it.
 */
inline bool isRecordDay(double date) {
    return kFirstCalendarDay <= date && date <= kLastCalendarDay; // false for NaN as well
}

// The two windows of days the history is read over. A damaged record is in neither.

/** After the start day, up to and including the end day: filters, overdue count, analyses. */
inline bool inWindowStartExcluded(double date, double start, double end) {
    return start < date && date <= end && isRecordDay(date);
}
/** From the start day up to and including the end day: the distribution. */
inline bool inWindowStartIncluded(double date, double start, double end) {
    return start <= date && date <= end && isRecordDay(date);
}

/** The day count of a calendar date. */
double dayFromDate(const QDate& date);
/** The calendar date of a day count; the time of day is cut off. No date (invalid) for a day outside the
 * calendar. */
QDate dateFromDay(double day);
/** "dd.mm.yyyy", always with dots, whatever the system's regional settings say. */
QString formatDay(double day);
QString formatDate(const QDate& date);
/** Reads "dd.mm.yyyy"; anything else, or a day that does not exist (31.02.2016), gives nothing. */
std::optional<QDate> parseDate(const QString& text);
/** "yyyymmdd", the day form of the update request. */
QString formatYmd(double day);

/** The local date of today; tests can pin it. */
class Clock {
public:
    static QDate today();
    static double todayDay() { return dayFromDate(today()); }
    /** Pins "today" for tests; an invalid date returns to the real clock. */
    static void setToday(const QDate& date);
};

} // namespace kw
