#pragma once

#include "draws/Ziehung.h"
#include "tips/TipTable.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace kwtest {

/** A record with the given date and numbers (eight drawn, two supplementary). */
kw::TZiehung draw(double day, std::initializer_list<int> numbers);

/** Daily draws from 07.08.2015 on: eight different numbers ascending and two more, from a fixed seed. */
std::vector<kw::TZiehung> dailyDraws(int count, unsigned seed);

/** The eight cells of a tip row, joined by commas. */
QString tipOf(const kw::TipTable& t, int row);

/** Writes the records to a new history file at path. */
void writeHistory(const QString& path, const std::vector<kw::TZiehung>& records);

/**
 * A tiny file system of its own (tmpfs) on a temporary folder, to see what a full disk does.
 * Mounting needs the right to (root in CI); without it mounted() is false and the test skips.
 */
class SmallDisk {
public:
    explicit SmallDisk(int kib = 64);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }
    /** Why it could not be mounted. */
    QString reason() const { return m_reason; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    /** Takes every free byte with a filler file, so that the next write finds the disk full. */
    void fill();
    /** Removes the filler again. */
    void release();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

} // namespace kwtest
