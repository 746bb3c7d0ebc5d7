#pragma once

#include <QByteArray>
#include <QString>

namespace kw {

/**
 * Writes a whole file through a temporary file beside it that replaces the old one only when
 * every byte has reached the file system. On any failure (full disk, read-only folder, a folder
 * in the file's place) the old file stays exactly as it was and error says why.
 */
bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

/**
 * Test seam: from now on every save fails as if the disk were full after the given number of
 * bytes; a negative number turns the fault off.
 */
void failSavesAfterBytes(qint64 bytes);

} // namespace kw
