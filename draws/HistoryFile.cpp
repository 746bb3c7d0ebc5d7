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

void closeOrFail(QFile& file) {
    // QFile::close() flushes; a failed flush shows up in the error state.
    file.close();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Cannot close"), file);
}

} // namespace

void HistoryFile::createSeeded(const QString& path) {
    QFile file(path);
    openOrFail(file, QIODevice::WriteOnly | QIODevice::Truncate);
    for (const TZiehung& z : seedDraws()) {
        const auto bytes = z.toBytes();
        if (file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()) != qint64(bytes.size()))
            fail(QStringLiteral("Cannot write"), file);
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
    openOrFail(m_file, QIODevice::ReadWrite);
    char bytes[TZiehung::kSize];
    for (;;) {
        const qint64 got = m_file.read(bytes, TZiehung::kSize);
        if (got < 0)
            fail(QStringLiteral("Cannot read"), m_file);
        if (got < TZiehung::kSize)
            break; // end of file, or a stray partial record that the next append overwrites
        m_last = TZiehung::fromBytes(reinterpret_cast<const uint8_t*>(bytes));
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
    if (!m_file.seek(m_end) ||
        m_file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()) != qint64(bytes.size()) ||
        !m_file.flush()) {
        // Never leave a partial record behind: cut the file back to its last whole record.
        // QFile keeps the unwritten bytes in its buffer and tries them again at the next flush,
        // which its own resize() does first: drop them with the handle, then cut the file.
        const QString reason = m_file.errorString();
        m_file.close();
        QFile::resize(m_file.fileName(), m_end);
        m_file.open(QIODevice::ReadWrite);
        throw FileError(QStringLiteral("Cannot write the draw history file \"%1\": %2")
                            .arg(QFileInfo(m_file.fileName()).absoluteFilePath(), reason)
                            .toStdString());
    }
    m_end += TZiehung::kSize;
    m_last = record;
}

void HistoryFile::Appender::close() {
    if (m_file.isOpen())
        closeOrFail(m_file);
}

} // namespace kw
