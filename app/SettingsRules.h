#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kw {

// The value forms of the settings file. A reader gets the raw value (nothing when the key is
// absent) and gives nothing when the value cannot be read, so that the caller takes its default.

/** Decimal digits with an optional sign; blanks around it are allowed. */
std::optional<int> readInteger(const std::optional<QString>& raw);
/** An integer, non-zero is on. */
std::optional<bool> readBoolean(const std::optional<QString>& raw);
/** "dd.mm.yyyy" naming a day that exists. */
std::optional<QDate> readDate(const std::optional<QString>& raw);

inline QString writeInteger(int value) {
    return QString::number(value);
}
inline QString writeBoolean(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}
QString writeDate(const QDate& date);

/** Key of a tip cell in section "Tipps": "S" + column + "_R" + row; column 0 is the row's flag. */
QString tipKey(int column, int row);

} // namespace kw
