#include "app/SettingsRules.h"

#include "app/Dates.h"
#include "app/Numbers.h"

namespace kw {

std::optional<int> readInteger(const std::optional<QString>& raw) {
    if (!raw)
        return std::nullopt;
    if (auto v = tryStrToInt(QStringView(*raw).trimmed()))
        return int(*v);
    return std::nullopt;
}

std::optional<bool> readBoolean(const std::optional<QString>& raw) {
    if (auto v = readInteger(raw))
        return *v != 0;
    return std::nullopt;
}

std::optional<QDate> readDate(const std::optional<QString>& raw) {
    if (!raw)
        return std::nullopt;
    return parseDate(raw->trimmed());
}

QString writeDate(const QDate& date) {
    return formatDate(date);
}

QString tipKey(int column, int row) {
    return QStringLiteral("S%1_R%2").arg(column).arg(row);
}

} // namespace kw
