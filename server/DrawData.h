#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kw {
struct ImportedDraw;
}

namespace kw::srv {

/** One draw of the server's data file. */
struct DrawEntry {
    QDate date;
    std::array<int, 8> numbers{}; // as written in the file
    std::array<int, 2> extra{};   // supplementary numbers, in their order
    bool operator==(const DrawEntry&) const = default;
};

/**
 * Reads one line of the data file, "dd.mm.yyyy n1 n2 n3 n4 n5 n6 n7 n8 s1 s2" (fields separated
 * by blanks or tabs). The eight numbers and the two supplementary numbers must all be different
 * numbers 1..37. On failure the reason goes to error.
 */
std::optional<DrawEntry> parseDataLine(QStringView line, QString* error);

/** The line of the data file for a draw. */
QString formatDataLine(const DrawEntry& draw);

/** The reply line the program reads: "dd.mm.yyyy,n1,...,n8,s1,s2;" and CR LF. */
QByteArray replyLine(const DrawEntry& draw);

/** True for lines the data file may hold besides draws: empty lines and "#" comments. */
bool isCommentLine(QStringView line);

/**
 * All draws of a data file, held as the finished reply body per day, so that a request costs a
 * hash lookup. A day may have several draws; each is one line of its body.
 */
class DrawStore {
public:
    /** Loads the whole file; on any bad line nothing changes and error names the line. */
    bool load(const QString& path, QString* error);
    /** The reply body for a day: its draw lines, or empty when the day has no draw. */
    QByteArray replyFor(const QDate& day) const { return m_replies.value(day.toJulianDay()); }
    bool hasDraw(const QDate& day) const { return m_replies.contains(day.toJulianDay()); }
    int drawCount() const { return m_count; }
    QDate firstDay() const { return m_first; }
    QDate lastDay() const { return m_last; }

private:
    QHash<qint64, QByteArray> m_replies;
    int m_count = 0;
    QDate m_first, m_last;
};

/**
 * Adds one draw to the data file: the file is read and checked, the draw must be for a day
 * that has none yet, and the new file replaces the old one in one step (a reader sees either
 * the old or the new file, never half a line).
 */
bool appendDraw(const QString& path, const DrawEntry& draw, QString* error);

/** What an import of published results into the data file came to. */
struct DataImport {
    int added = 0;
    int alreadyThere = 0;
    QDate newest; // newest day of the data file afterwards
};

/**
 * Adds published results (read with the program's import reader) to the data file in one step:
 * a day the file holds with the same numbers is passed over, a day it holds with other numbers
 * refuses the whole import; the new draws are added at the end and the new file replaces the
 * old one at once, so that a running server reads either of them whole.
 */
bool importDraws(const QString& path, const std::vector<kw::ImportedDraw>& draws, DataImport* result,
                 QString* error);

} // namespace kw::srv
