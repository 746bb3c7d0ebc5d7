#include "server/DrawData.h"

#include "app/Dates.h"
#include "app/SafeSave.h"
#include "draws/DrawImport.h"

#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <map>
#include <mutex>

namespace kw::srv {

namespace {
constexpr int kAddLockWaitMs = 10000;
// An add takes milliseconds; a lock this old was left by an add that was killed.
constexpr int kAddLockStaleMs = 30000;
} // namespace

bool isCommentLine(QStringView line) {
    const QStringView t = line.trimmed();
    return t.isEmpty() || t.startsWith(u'#');
}

std::optional<DrawEntry> parseDataLine(QStringView line, QString* error) {
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    const QStringList fields = line.trimmed().toString().split(blanks, Qt::SkipEmptyParts);
    auto fail = [&](const QString& why) -> std::optional<DrawEntry> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (fields.size() != 11)
        return fail(QStringLiteral("expected a date and ten numbers, found %1 fields").arg(fields.size()));
    const auto date = parseDate(fields[0]);
    if (!date)
        return fail(QStringLiteral("\"%1\" is not a day in the form dd.mm.yyyy").arg(fields[0]));
    DrawEntry draw;
    draw.date = *date;
    QSet<int> seen;
    for (int k = 0; k < 10; ++k) {
        bool ok = false;
        const int n = fields[k + 1].toInt(&ok, 10);
        if (!ok || n < 1 || n > 37)
            return fail(QStringLiteral("\"%1\" is not a number from 1 to 37").arg(fields[k + 1]));
        if (seen.contains(n))
            return fail(k < 8 ? QStringLiteral("the number %1 is drawn twice").arg(n)
                              : QStringLiteral("the supplementary number %1 is already drawn").arg(n));
        seen.insert(n);
        if (k < 8)
            draw.numbers[size_t(k)] = n;
        else
            draw.extra[size_t(k - 8)] = n;
    }
    return draw;
}

QString formatDataLine(const DrawEntry& draw) {
    QString line = formatDate(draw.date);
    for (int n : draw.numbers)
        line += u' ' + QString::number(n);
    for (int n : draw.extra)
        line += u' ' + QString::number(n);
    return line;
}

QByteArray replyLine(const DrawEntry& draw) {
    QByteArray line = formatDate(draw.date).toLatin1();
    for (int n : draw.numbers)
        line += ',' + QByteArray::number(n);
    for (int n : draw.extra)
        line += ',' + QByteArray::number(n);
    return line + ";\r\n";
}

namespace {

/** Reads and checks every line; calls visit for each draw. */
bool readFile(const QString& path, QString* error, const std::function<void(const DrawEntry&)>& visit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        ++number;
        if (isCommentLine(line))
            continue;
        QString why;
        const auto draw = parseDataLine(line, &why);
        if (!draw) {
            if (error)
                *error = QStringLiteral("%1 line %2: %3").arg(path).arg(number).arg(why);
            return false;
        }
        visit(*draw);
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

/** QLockFile does not say why it could not write its file; writing a file beside it tells. */
QString whyNoLock(const QString& lockPath) {
    QFile probe(lockPath + QStringLiteral(".probe"));
    QString why = QStringLiteral("cannot create the lock file %1").arg(lockPath);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return why + QStringLiteral(": ") + probe.errorString();
    if (probe.write("x", 1) != 1)
        why += QStringLiteral(": ") + probe.errorString();
    probe.close();
    probe.remove();
    return why;
}

} // namespace

bool DrawStore::load(const QString& path, QString* error) {
    QHash<qint64, QByteArray> replies;
    int count = 0;
    QDate first, last;
    const bool ok = readFile(path, error, [&](const DrawEntry& d) {
        replies[d.date.toJulianDay()] += replyLine(d);
        ++count;
        if (!first.isValid() || d.date < first)
            first = d.date;
        if (!last.isValid() || d.date > last)
            last = d.date;
    });
    if (!ok)
        return false;
    m_replies = std::move(replies);
    m_count = count;
    m_first = first;
    m_last = last;
    return true;
}

namespace {

/** The file's bytes, ending in a line break so that a new line can follow. */
bool readLines(const QString& path, QByteArray* content, QString* error) {
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, old.errorString());
        return false;
    }
    *content = old.readAll();
    if (!content->isEmpty() && !content->endsWith('\n'))
        *content += '\n';
    return true;
}

/**
 * Holds the data file for one read, check and write. Two changes at once would each read the old
 * file and the last rename would win: draws lost, or one day written twice. The lock beside the
 * file orders processes; QLockFile does not order the threads of one process, the mutex does.
 */
class DataFileLock {
public:
    explicit DataFileLock(const QString& path)
        : m_guard(inProcess()), m_lock(path + QStringLiteral(".lock")) {
        m_lock.setStaleLockTime(kAddLockStaleMs);
        if (!m_lock.tryLock(kAddLockWaitMs))
            m_why = m_lock.error() == QLockFile::LockFailedError
                        ? QStringLiteral("%1 is being changed by another add; try again").arg(path)
                        : QStringLiteral("cannot write %1: %2")
                              .arg(path, whyNoLock(path + QStringLiteral(".lock")));
    }
    /** False when the file could not be locked; error then says why. */
    bool held(QString* error) const {
        if (m_why.isEmpty())
            return true;
        if (error)
            *error = m_why;
        return false;
    }

private:
    static std::mutex& inProcess() {
        static std::mutex m;
        return m;
    }
    std::lock_guard<std::mutex> m_guard;
    QLockFile m_lock;
    QString m_why;
};

} // namespace

bool appendDraw(const QString& path, const DrawEntry& draw, QString* error) {
    const DataFileLock lock(path);
    if (!lock.held(error))
        return false;
    QByteArray content;
    if (QFile::exists(path)) {
        bool taken = false;
        if (!readFile(path, error, [&](const DrawEntry& d) { taken = taken || d.date == draw.date; }))
            return false;
        if (taken) {
            if (error)
                *error = QStringLiteral("%1 already holds a draw for %2").arg(path, formatDate(draw.date));
            return false;
        }
        if (!readLines(path, &content, error))
            return false;
    }
    content += formatDataLine(draw).toUtf8() + '\n';
    // The whole file is written anew and renamed over the old one: a crash or a full disk leaves
    // the old file as it was, and a running server never reads a half-written line.
    QString why;
    if (!saveFileAtomically(path, content, &why)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, why);
        return false;
    }
    return true;
}

namespace {

std::array<uint8_t, 10> numbersOf(const DrawEntry& d) {
    std::array<uint8_t, 10> n{};
    for (size_t k = 0; k < 8; ++k)
        n[k] = uint8_t(d.numbers[k]);
    n[8] = uint8_t(d.extra[0]);
    n[9] = uint8_t(d.extra[1]);
    return n;
}

bool writeWhole(const QString& path, const QByteArray& content, QString* error) {
    QString why;
    if (!saveFileAtomically(path, content, &why)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, why);
        return false;
    }
    return true;
}

} // namespace

bool importDraws(const QString& path, const std::vector<kw::ImportedDraw>& draws, DataImport* result,
                 QString* error) {
    const DataFileLock lock(path);
    if (!lock.held(error))
        return false;
    std::map<qint64, std::vector<DrawEntry>> held;
    QByteArray content;
    if (QFile::exists(path)) {
        if (!readFile(path, error, [&](const DrawEntry& d) { held[d.date.toJulianDay()].push_back(d); }))
            return false;
        if (!readLines(path, &content, error))
            return false;
    }

    std::vector<kw::ImportedDraw> sorted = draws;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.date < b.date; });
    DataImport out;
    QStringList conflicts;
    QByteArray added;
    for (const kw::ImportedDraw& d : sorted) {
        const auto it = held.find(d.date.toJulianDay());
        if (it == held.end()) {
            DrawEntry e;
            e.date = d.date;
            for (size_t k = 0; k < 8; ++k)
                e.numbers[k] = d.numbers[k];
            e.extra = {d.numbers[8], d.numbers[9]};
            added += formatDataLine(e).toUtf8() + '\n';
            ++out.added;
            continue;
        }
        if (std::any_of(it->second.begin(), it->second.end(),
                        [&](const DrawEntry& e) { return kw::sameDraw(numbersOf(e), d.numbers); })) {
            ++out.alreadyThere;
            continue;
        }
        conflicts << QStringLiteral("line %1: %2 holds other numbers for %3 (%4)")
                         .arg(d.line)
                         .arg(path, formatDate(d.date), formatDataLine(it->second.front()));
    }
    if (!conflicts.isEmpty()) {
        if (error)
            *error = QStringLiteral("nothing imported, %1 day(s) differ from the data file:\n  %2")
                         .arg(conflicts.size())
                         .arg(conflicts.join(QStringLiteral("\n  ")));
        return false;
    }
    if (out.added > 0 && !writeWhole(path, content + added, error))
        return false;
    for (const auto& [day, entries] : held)
        out.newest = std::max(out.newest, entries.front().date);
    if (!sorted.empty())
        out.newest = std::max(out.newest, sorted.back().date);
    if (result)
        *result = out;
    return true;
}

} // namespace kw::srv
