#pragma once

#include "draws/Ziehung.h"

#include <QFile>
#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

namespace kw {

/** An open, read, write or close of the history file failed; the text names the file. */
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/**
 * The draw history file: whole 24-byte records, oldest first, no header. Every operation opens
 * the file, works and closes it again; nothing is kept open between operations.
 */
class HistoryFile {
public:
    static constexpr int kBlockRecords = 1000;

    /** Creates the file (replacing any file of that name) holding the three seed draws. */
    static void createSeeded(const QString& path);

    /**
     * Reads the file in blocks of up to 1000 records and hands each whole record to visit, in
     * file order; visit returns false to stop early. Bytes after the last whole record are ignored.
     */
    static void scan(const QString& path, const std::function<bool(const TZiehung&)>& visit);

    /** All records (a block scan to the end). */
    static std::vector<TZiehung> readAll(const QString& path);

    /** Number of whole records, from the file size. */
    static qint64 recordCount(const QString& path);

    /**
     * Read to the end, then append: opens the file, reads record by record keeping the last one
     * (24 zero bytes when there is none), then appends records after the last whole record.
     */
    class Appender {
    public:
        explicit Appender(const QString& path);
        ~Appender();
        Appender(const Appender&) = delete;
        Appender& operator=(const Appender&) = delete;

        const TZiehung& last() const { return m_last; }
        /** The date of the last record whose date is a day (isRecordDay); 0 when there is none. */
        double lastDay() const { return m_lastDay; }
        /** Appends one record; its reserved bytes are those of the record last in the file. */
        void append(TZiehung record);
        void close();

    private:
        QFile m_file;
        TZiehung m_last;
        double m_lastDay = 0;
        qint64 m_end = 0;
    };
};

} // namespace kw
