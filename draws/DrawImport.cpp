#include "draws/DrawImport.h"

#include "app/Dates.h"
#include "draws/HistoryFile.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <map>

namespace kw {

QString ImportError::message() const {
    return line > 0 ? QStringLiteral("Line %1: %2").arg(line).arg(reason) : reason;
}

namespace {

enum class DateShape { None, NotReal, Day };

/** dd.mm.yyyy, yyyy-mm-dd or dd/mm/yyyy (day and month with one or two digits). */
DateShape readDate(QStringView field, QDate* out) {
    static const QRegularExpression forms[] = {
        QRegularExpression(QStringLiteral("^(?<d>\\d{1,2})\\.(?<m>\\d{1,2})\\.(?<y>\\d{4})$")),
        QRegularExpression(QStringLiteral("^(?<y>\\d{4})-(?<m>\\d{1,2})-(?<d>\\d{1,2})$")),
        QRegularExpression(QStringLiteral("^(?<d>\\d{1,2})/(?<m>\\d{1,2})/(?<y>\\d{4})$")),
    };
    for (const QRegularExpression& form : forms) {
        const QRegularExpressionMatch m = form.match(field);
        if (!m.hasMatch())
            continue;
        const QDate date(m.capturedView(u"y").toInt(), m.capturedView(u"m").toInt(),
                         m.capturedView(u"d").toInt());
        if (!date.isValid())
            return DateShape::NotReal;
        if (out)
            *out = date;
        return DateShape::Day;
    }
    return DateShape::None;
}

bool isWholeNumber(QStringView field) {
    return !field.isEmpty() && std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); });
}

QStringList fieldsOf(const QString& line) {
    static const QRegularExpression separators(QStringLiteral("[,;\\t ]+"));
    QStringList fields;
    for (QString f : line.split(separators, Qt::SkipEmptyParts)) {
        if (f.size() >= 2 && f.startsWith(u'"') && f.endsWith(u'"'))
            f = f.mid(1, f.size() - 2).trimmed();
        if (!f.isEmpty())
            fields << f;
    }
    return fields;
}

/**
 * A first line of column names: words, no date, fewer than ten numbers. Column names may hold
 * blanks ("Ball 1"), so a line with commas, semicolons or tabs is split at those alone here.
 */
bool isHeader(const QString& line) {
    static const QRegularExpression strong(QStringLiteral("[,;\\t]"));
    const QStringList fields = line.contains(strong) ? line.split(strong) : fieldsOf(line);
    bool letter = false;
    int numbers = 0;
    for (QString f : fields) {
        f = f.trimmed();
        if (f.size() >= 2 && f.startsWith(u'"') && f.endsWith(u'"'))
            f = f.mid(1, f.size() - 2).trimmed();
        if (readDate(f, nullptr) != DateShape::None)
            return false;
        numbers += isWholeNumber(f) ? 1 : 0;
        letter = letter || std::any_of(f.begin(), f.end(), [](QChar c) { return c.isLetter(); });
    }
    return letter && numbers < 10;
}

QString numbersText(const std::array<uint8_t, 10>& n) {
    QStringList parts;
    for (int k = 0; k < 8; ++k)
        parts << QString::number(n[size_t(k)]);
    return parts.join(u' ') + QStringLiteral(", supplementary %1 %2").arg(n[8]).arg(n[9]);
}

} // namespace

std::optional<QDate> parseImportDate(QStringView field) {
    QDate date;
    if (readDate(field, &date) == DateShape::Day)
        return date;
    return std::nullopt;
}

bool sameDraw(const std::array<uint8_t, 10>& a, const std::array<uint8_t, 10>& b) {
    std::array<uint8_t, 8> x, y;
    std::copy_n(a.begin(), 8, x.begin());
    std::copy_n(b.begin(), 8, y.begin());
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    return x == y && ((a[8] == b[8] && a[9] == b[9]) || (a[8] == b[9] && a[9] == b[8]));
}

ParsedResults parsePublishedResults(const QByteArray& content) {
    ParsedResults out;
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n');

    const QDate first = dateFromDay(kFirstSeedDay);
    const QDate today = Clock::today();
    QHash<qint64, size_t> byDay; // day -> index into out.draws
    bool seenContent = false;
    auto refuse = [&](int line, const QString& reason) {
        out.draws.clear();
        out.error = ImportError{line, reason};
        return out;
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString trimmed = lines[i].trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const QStringList f = fieldsOf(trimmed);
        if (!seenContent) {
            seenContent = true;
            if (isHeader(trimmed))
                continue;
        }
        // The date comes first, or second after a draw number.
        int at = 0;
        QDate date;
        DateShape shape = f.isEmpty() ? DateShape::None : readDate(f[0], &date);
        if (shape == DateShape::None && f.size() >= 2 && isWholeNumber(f[0])) {
            const DateShape second = readDate(f[1], &date);
            if (second != DateShape::None) {
                shape = second;
                at = 1;
            }
        }
        if (shape == DateShape::None)
            return refuse(lineNo,
                          QStringLiteral("\"%1\" is not a date (dd.mm.yyyy, yyyy-mm-dd or dd/mm/yyyy)")
                              .arg(f.value(0)));
        if (shape == DateShape::NotReal)
            return refuse(lineNo, QStringLiteral("\"%1\" is not a real day").arg(f[at]));
        if (date < first)
            return refuse(lineNo, QStringLiteral("%1 is before %2, the first draw the program knows")
                                      .arg(formatDate(date), formatDate(first)));
        if (date > today)
            return refuse(lineNo, QStringLiteral("%1 lies in the future").arg(formatDate(date)));

        const QStringList values = f.mid(at + 1);
        if (values.size() != 10)
            return refuse(lineNo, QStringLiteral("expected ten numbers after the date (eight drawn, two "
                                                 "supplementary), found %1")
                                      .arg(values.size()));
        ImportedDraw draw;
        draw.date = date;
        draw.line = lineNo;
        for (int k = 0; k < 10; ++k) {
            const QString& v = values[k];
            const int n = isWholeNumber(v) && v.size() <= 3 ? v.toInt() : 0;
            if (n < 1 || n > 37)
                return refuse(lineNo, QStringLiteral("\"%1\" is not a number from 1 to 37").arg(v));
            for (int j = 0; j < k; ++j)
                if (draw.numbers[size_t(j)] == n)
                    return refuse(lineNo, QStringLiteral("the number %1 appears twice").arg(n));
            draw.numbers[size_t(k)] = uint8_t(n);
        }
        std::sort(draw.numbers.begin(), draw.numbers.begin() + 8);

        const qint64 key = date.toJulianDay();
        if (const auto it = byDay.constFind(key); it != byDay.cend()) {
            const ImportedDraw& earlier = out.draws[*it];
            if (!sameDraw(earlier.numbers, draw.numbers))
                return refuse(lineNo,
                              QStringLiteral("a second draw for %1 with other numbers than on line %2")
                                  .arg(formatDate(date))
                                  .arg(earlier.line));
            continue; // the same draw twice: taken once
        }
        byDay.insert(key, out.draws.size());
        out.draws.push_back(draw);
    }
    if (out.draws.empty())
        out.error = ImportError{0, QStringLiteral("The file holds no draws.")};
    return out;
}

QString MergeResult::summary() const {
    QString text = added == 1 ? QStringLiteral("1 draw added") : QStringLiteral("%1 draws added").arg(added);
    text += QStringLiteral(", %1 already there").arg(alreadyThere);
    if (newest > 0)
        text += QStringLiteral("; newest ") + formatDay(newest);
    return text;
}

MergeResult mergeIntoHistory(const QString& path, const std::vector<ImportedDraw>& draws) {
    MergeResult out;
    std::vector<TZiehung> old;
    try {
        if (!QFileInfo::exists(path))
            HistoryFile::createSeeded(path);
        old = HistoryFile::readAll(path);
    } catch (const FileError& e) {
        out.refusal = QString::fromStdString(e.what());
        return out;
    }

    std::map<double, std::vector<size_t>> oldByDay;
    for (size_t i = 0; i < old.size(); ++i)
        oldByDay[old[i].Ziehungsdatum].push_back(i);
    const double last = old.empty() ? 0.0 : old.back().Ziehungsdatum;

    std::vector<ImportedDraw> sorted = draws;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const ImportedDraw& a, const ImportedDraw& b) { return a.date < b.date; });
    std::vector<TZiehung> fresh;
    QStringList conflicts;
    int conflictCount = 0;
    bool before = false;
    for (const ImportedDraw& d : sorted) {
        const double day = dayFromDate(d.date);
        const auto it = oldByDay.find(day);
        if (it == oldByDay.end()) {
            TZiehung z;
            z.Ziehungsdatum = day;
            z.Zahlen = d.numbers;
            fresh.push_back(z);
            before = before || day <= last;
            continue;
        }
        const bool same = std::any_of(it->second.begin(), it->second.end(),
                                      [&](size_t i) { return sameDraw(old[i].Zahlen, d.numbers); });
        if (same) {
            ++out.alreadyThere;
            continue;
        }
        if (++conflictCount <= 3)
            conflicts << QStringLiteral("line %1, %2: the file says %3; the history holds %4")
                             .arg(d.line)
                             .arg(formatDate(d.date), numbersText(d.numbers),
                                  numbersText(old[it->second[0]].Zahlen));
    }
    if (conflictCount > 0) {
        out.refusal = QStringLiteral("%1 of the file's days already hold other numbers in the history, so "
                                     "nothing was imported:\n%2")
                          .arg(conflictCount)
                          .arg(conflicts.join(u'\n'));
        if (conflictCount > 3)
            out.refusal += QStringLiteral("\n(and %1 more)").arg(conflictCount - 3);
        return out;
    }

    out.newest = last;
    if (fresh.empty()) {
        out.ok = true;
        return out;
    }

    if (!before) {
        // Only days after the last record: appended one by one as the update does. A failure
        // leaves the draws appended so far, each a whole record in date order.
        try {
            HistoryFile::Appender file(path);
            for (const TZiehung& z : fresh) {
                file.append(z);
                ++out.added;
            }
            file.close();
        } catch (const FileError& e) {
            out.refusal =
                QString::fromStdString(e.what()) +
                QStringLiteral("\n%1 of the %2 new draws were stored.").arg(out.added).arg(fresh.size());
            out.ok = false;
            return out;
        }
        out.ok = true;
        out.newest = fresh.back().Ziehungsdatum;
        return out;
    }

    // Days before the last record: the whole history is written to a new file, which then
    // replaces the old one in one step. Existing records keep their bytes; a new one takes the
    // reserved bytes of the record before it, as an append would.
    std::vector<std::pair<TZiehung, bool>> merged; // record, new
    merged.reserve(old.size() + fresh.size());
    for (const TZiehung& z : old)
        merged.emplace_back(z, false);
    for (const TZiehung& z : fresh)
        merged.emplace_back(z, true);
    std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) {
        return a.first.Ziehungsdatum < b.first.Ziehungsdatum;
    });
    QByteArray bytes;
    bytes.reserve(qsizetype(merged.size()) * TZiehung::kSize);
    std::array<uint8_t, 6> reserved{};
    for (auto& [z, isNew] : merged) {
        if (isNew)
            z.Reserviert = reserved;
        reserved = z.Reserviert;
        const auto b = z.toBytes();
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        out.refusal =
            QStringLiteral("Cannot write the draw history file \"%1\": %2\nThe history was left as it "
                           "was.")
                .arg(QFileInfo(path).absoluteFilePath(), file.errorString());
        file.cancelWriting();
        return out;
    }
    out.ok = true;
    out.rewritten = true;
    out.added = int(fresh.size());
    out.newest = merged.back().first.Ziehungsdatum;
    return out;
}

} // namespace kw
