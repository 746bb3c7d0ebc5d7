#include "engine/DrawHistory.h"

#include "draws/HistoryFile.h"

#include <QFileInfo>

namespace kw {

DrawHistory::DrawHistory(QString path) : m_path(std::move(path)) {}

DrawHistory DrawHistory::ofRecords(std::vector<TZiehung> records) {
    DrawHistory h{QString()};
    h.m_records = std::move(records);
    h.m_loaded = true;
    h.m_inMemory = true;
    h.m_generation = 1;
    return h;
}

void DrawHistory::refresh() {
    if (m_inMemory)
        return;
    const QFileInfo info(m_path);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (m_loaded && size == m_size && modified == m_modified)
        return;
    m_size = size;
    m_modified = modified;
    ++m_generation;
    try {
        m_records = HistoryFile::readAll(m_path);
        m_loaded = true;
        m_error.clear();
    } catch (const FileError& e) {
        m_records.clear();
        m_loaded = false;
        m_error = e.what();
    }
}

const std::vector<TZiehung>& DrawHistory::records() const {
    if (!m_loaded)
        throw FileError(m_error.empty() ? std::string("The draw history file has not been read") : m_error);
    return m_records;
}

} // namespace kw
