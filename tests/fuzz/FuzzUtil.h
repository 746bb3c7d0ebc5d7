#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace kwfuzz {

/** A finding: says what broke and stops, so that libFuzzer keeps the input. */
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what) {
    if (!ok)
        fail(what);
}

/** A file of this process in memory-backed storage where there is some, for inputs read as files. */
inline QString scratchFile(const char* name) {
    struct Scratch {
        QString dir;
        Scratch() {
            const QString base =
                QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
            dir = base + QStringLiteral("/kw-fuzz-%1").arg(::getpid());
            QDir().mkpath(dir);
        }
        ~Scratch() { QDir(dir).removeRecursively(); }
    };
    static const Scratch scratch;
    return scratch.dir + u'/' + QLatin1String(name);
}

inline void writeFile(const QString& path, const uint8_t* data, size_t size) {
    QFile f(path);
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the scratch file");
    check(f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size), "short scratch write");
}

} // namespace kwfuzz
