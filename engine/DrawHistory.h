#pragma once

#include "draws/Ziehung.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace kw {

/**
 * The history file held in memory for the length of one calculation. It is read again only when
 * its size or modification time changed (the update may append while a run pauses). A file that
 * cannot be read is remembered, and the error is raised where a reader would have opened it.
 */
class DrawHistory {
public:
    explicit DrawHistory(QString path);
    /** A history held in memory only, such as the file as it was before a past draw; never re-read. */
    static DrawHistory ofRecords(std::vector<TZiehung> records);

    /** Reads the file when it is new or changed since the last look. */
    void refresh();
    /** The records; throws the file error when the file could not be read. */
    const std::vector<TZiehung>& records() const;
    bool available() const { return m_loaded; }
    /** Changes each time other records were read. */
    uint64_t generation() const { return m_generation; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::vector<TZiehung> m_records;
    bool m_loaded = false;
    std::string m_error;
    qint64 m_size = -1;
    QDateTime m_modified;
    uint64_t m_generation = 0;
    bool m_inMemory = false;
};

} // namespace kw
