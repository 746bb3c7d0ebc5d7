#include "app/Dates.h"

#include <QRegularExpression>
#include <cmath>

namespace kw {

namespace {
const qint64 kJulianDayZero = QDate(1899, 12, 30).toJulianDay();
QDate g_pinnedToday;
} // namespace

double dayFromDate(const QDate& date) {
    return double(date.toJulianDay() - kJulianDayZero);
}

QDate dateFromDay(double day) {
    // A NaN or a huge number does not convert to an integer at all.
    if (!isRecordDay(day))
        return QDate();
    return QDate::fromJulianDay(kJulianDayZero + qint64(std::floor(day)));
}

QString formatDate(const QDate& date) {
    // Built by hand so that no locale can change the separator or the digits.
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString formatDay(double day) {
    return formatDate(dateFromDay(day));
}

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatYmd(double day) {
    const QDate d = dateFromDay(day);
    return QStringLiteral("%1%2%3")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'));
}

QDate Clock::today() {
    return g_pinnedToday.isValid() ? g_pinnedToday : QDate::currentDate();
}

void Clock::setToday(const QDate& date) {
    g_pinnedToday = date;
}

} // namespace kw
