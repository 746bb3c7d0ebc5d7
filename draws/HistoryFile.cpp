#include "draws/HistoryFile.h"

#include "app/Dates.h"

#include <QFileInfo>

namespace kw {

std::array<TZiehung, 3> seedDraws() {
    auto make = [](double day, std::array<uint8_t, 10> numbers) {
        TZiehung z;
        z.Ziehungsdatum = day;
        z.Zahlen = numbers;
        return z;
    };
    return {make(42223, {4, 5, 8, 9, 10, 12, 19, 30, 6, 29}),
            make(42224, {6, 7, 12, 13, 21, 25, 26, 36, 14, 35}),
            make(42225, {3, 4, 7, 11, 15, 23, 27, 31, 36, 37})};
}

namespace {

[[noreturn]] void fail(const QString& what, const QFile& file) {
    throw FileError(QStringLiteral("%1 the draw history file \"%2\": %3")
                        .arg(what, QFileInfo(file.fileName()).absoluteFilePath(), file.errorString())
                        .toStdString());
}

void openOrFail(QFile& file, QIODevice::OpenMode mode) {
    if (!file.open(mode))
        fail(QStringLiteral("Cannot open"), file);
}

/**
 * Writes one record straight to the file (the file is opened unbuffered): a short write is
 * continued, so that a failure reports the file system's reason. False when it did not all go.
 */
bool writeRecord(QFile& file, const std::array<uint8_t, TZiehung::kSize>& bytes) {
    qint64 done = 0;
    while (done < qint64(bytes.size())) {
        const qint64 n =
            file.write(reinterpret_cast<const char*>(bytes.data()) + done, qint64(bytes.size()) - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void closeOrFail(QFile& file) {
    // QFile::close() flushes; a failed flush shows up in the error state.
    file.close();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Cannot close"), file);
}

} // namespace

void HistoryFile::createSeeded(const QString& path) {
    QFile file(path);
    openOrFail(file, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    for (const TZiehung& z : seedDraws()) {
        if (!writeRecord(file, z.toBytes())) {
            // Half a seed file would pass for a history; without one the next start seeds again.
            const QString reason = file.errorString();
            file.close();
            file.remove();
            throw FileError(QStringLiteral("Cannot write the draw history file \"%1\": %2")
                                .arg(QFileInfo(path).absoluteFilePath(), reason)
                                .toStdString());
        }
    }
    closeOrFail(file);
}

void HistoryFile::scan(const QString& path, const std::function<bool(const TZiehung&)>& visit) {
    QFile file(path);
    openOrFail(file, QIODevice::ReadOnly);
    std::vector<char> buffer(size_t(kBlockRecords) * TZiehung::kSize);
    qint64 carried = 0; // bytes of a partial record left from the previous read
    for (;;) {
        const qint64 got = file.read(buffer.data() + carried, qint64(buffer.size()) - carried);
        if (got < 0)
            fail(QStringLiteral("Cannot read"), file);
        const qint64 have = carried + got;
        const qint64 records = have / TZiehung::kSize;
        for (qint64 i = 0; i < records; ++i) {
            if (!visit(TZiehung::fromBytes(reinterpret_cast<const uint8_t*>(buffer.data()) +
                                           i * TZiehung::kSize))) {
                closeOrFail(file);
                return;
            }
        }
        carried = have - records * TZiehung::kSize;
        if (got == 0 || file.atEnd())
            break;
        if (carried > 0)
            std::memmove(buffer.data(), buffer.data() + records * TZiehung::kSize, size_t(carried));
    }
    closeOrFail(file);
}

std::vector<TZiehung> HistoryFile::readAll(const QString& path) {
    std::vector<TZiehung> out;
    scan(path, [&](const TZiehung& z) {
        out.push_back(z);
        return true;
    });
    return out;
}

qint64 HistoryFile::recordCount(const QString& path) {
    return QFileInfo(path).size() / TZiehung::kSize;
}

HistoryFile::Appender::Appender(const QString& path) : m_file(path) {
    // Unbuffered: each record is one write that either reaches the file or fails on the spot.
    // A buffered write that fails at its flush stays in the buffer, and every later flush (the
    // cut back to whole records, the close) fails again and leaves a partial record.
    openOrFail(m_file, QIODevice::ReadWrite | QIODevice::Unbuffered);
    char bytes[TZiehung::kSize];
    for (;;) {
        const qint64 got = m_file.read(bytes, TZiehung::kSize);
        if (got < 0)
            fail(QStringLiteral("Cannot read"), m_file);
        if (got < TZiehung::kSize)
            break; // end of file, or a stray partial record that the next append overwrites
        m_last = TZiehung::fromBytes(reinterpret_cast<const uint8_t*>(bytes));
        if (isRecordDay(m_last.Ziehungsdatum))
            m_lastDay = m_last.Ziehungsdatum;
        m_end += TZiehung::kSize;
    }
}

HistoryFile::Appender::~Appender() {
    if (m_file.isOpen())
        m_file.close();
}

void HistoryFile::Appender::append(TZiehung record) {
    record.Reserviert = m_last.Reserviert;
    const auto bytes = record.toBytes();
    if (!m_file.seek(m_end) || !writeRecord(m_file, bytes)) {
        // Never leave a partial record behind: cut the file back to its last whole record. The
        // reason is the failed write's; the cut itself needs no space.
        const QString reason = m_file.errorString();
        m_file.resize(m_end);
        throw FileError(QStringLiteral("Cannot write the draw history file \"%1\": %2")
                            .arg(QFileInfo(m_file.fileName()).absoluteFilePath(), reason)
                            .toStdString());
    }
    m_end += TZiehung::kSize;
    m_last = record;
    if (isRecordDay(record.Ziehungsdatum))
        m_lastDay = record.Ziehungsdatum;
}

void HistoryFile::Appender::close() {
    if (m_file.isOpen())
        closeOrFail(m_file);
}

} // namespace kw
