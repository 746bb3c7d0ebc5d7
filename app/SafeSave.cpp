#include "app/SafeSave.h"

#include <QSaveFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace kw {

namespace {
std::atomic<qint64> g_failAfter{-1};
} // namespace

void failSavesAfterBytes(qint64 bytes) {
    g_failAfter = bytes;
}

bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        file.cancelWriting(); // the temporary file goes, the old file is not touched
        return false;
    };
    // Unbuffered, so that each write's result is the file system's answer. A buffered write
    // "succeeds" into memory, and the flush that fails inside commit() is not taken as a failure
    // there: the short file would be renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 failAfter = g_failAfter;
    qint64 done = 0;
    while (done < bytes.size()) {
        qint64 chunk = bytes.size() - done;
        if (failAfter >= 0) {
            if (done >= failAfter)
                return fail(QString::fromLocal8Bit(std::strerror(ENOSPC)));
            chunk = std::min(chunk, failAfter - done);
        }
        const qint64 written = file.write(bytes.constData() + done, chunk);
        if (written <= 0)
            return fail(file.errorString());
        done += written;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kw
