#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

namespace kw {

/** Largest reply body the update accepts; a longer one is refused before it is read in full. */
inline constexpr qint64 kMaxReplyBytes = 64 * 1024;

/**
 * The lines of a reply body, read as 8-bit text: breaks are CR LF, LF or CR, and a break at
 * the very end starts no further line. An empty body has no line (no draw that day).
 */
QStringList replyLines(const QByteArray& body);

/** One parsed draw line: [0..7] the drawn numbers ascending, [8], [9] supplementary as sent. */
using DrawLineNumbers = std::array<uint8_t, 10>;

/**
 * Parses "lead,n1,...,n8,s1,s2;tail": the leading field and the tail are not looked at; each of
 * the ten values must be a number 1..37. Anything else (too few values, letters, no semicolon,
 * an empty line, a value the history cannot hold) gives nothing, and why (in plain words, naming
 * the value) goes to *why when it is given.
 */
std::optional<DrawLineNumbers> parseDrawLine(QStringView line, QString* why = nullptr);

} // namespace kw
