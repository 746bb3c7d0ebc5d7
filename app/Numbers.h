#pragma once

#include <QString>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace kw {

/** Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). */
inline int64_t Round(double x) {
    return int64_t(std::nearbyint(x));
}

/**
 * The program's string-to-integer conversion: optional leading blanks, an optional sign and
 * decimal digits (or "$"/"0x" hexadecimal), within signed 32 bits. Nothing else is a number.
 */
std::optional<int32_t> tryStrToInt(QStringView text);

/** Thrown where a cell or a value must hold a number and does not. */
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/** tryStrToInt, or a ConversionError that quotes the text. */
int32_t StrToInt(QStringView text);

/** A count with a comma between thousands, whatever the locale: 38,608,020. */
QString formatCount(qint64 n);

/** A number with the given decimals, a comma between thousands and a point before the decimals, whatever the
 * locale: 1,234.50. */
QString formatDecimal(double value, int decimals);

} // namespace kw
