#include "TestUtil.h"

#include "app/Dates.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <random>
#include <stdexcept>
#include <sys/mount.h>

namespace kwtest {

kw::TZiehung draw(double day, std::initializer_list<int> numbers) {
    kw::TZiehung z;
    z.Ziehungsdatum = day;
    int i = 0;
    for (int n : numbers)
        z.Zahlen[size_t(i++)] = uint8_t(n);
    return z;
}

std::vector<kw::TZiehung> dailyDraws(int count, unsigned seed) {
    std::mt19937 g(seed);
    std::vector<kw::TZiehung> out;
    for (int i = 0; i < count; ++i) {
        std::vector<int> n(37);
        std::iota(n.begin(), n.end(), 1);
        std::shuffle(n.begin(), n.end(), g);
        std::sort(n.begin(), n.begin() + 8);
        kw::TZiehung z;
        z.Ziehungsdatum = kw::kFirstSeedDay + i;
        for (size_t k = 0; k < 10; ++k)
            z.Zahlen[k] = uint8_t(n[k]);
        out.push_back(z);
    }
    return out;
}

QString tipOf(const kw::TipTable& t, int row) {
    QStringList cells;
    for (int c = 1; c <= 8; ++c)
        cells << t.Tippreihen[c][row];
    return cells.join(QLatin1Char(','));
}

void writeHistory(const QString& path, const std::vector<kw::TZiehung>& records) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test history");
    for (const auto& z : records) {
        const auto b = z.toBytes();
        f.write(reinterpret_cast<const char*>(b.data()), b.size());
    }
}

SmallDisk::SmallDisk(int kib) {
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0)
        m_mounted = true;
    else
        m_reason = QStringLiteral("cannot mount a small tmpfs: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill() {
    QFile filler(filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw std::runtime_error("cannot create the filler");
    const QByteArray page(4096, 'x');
    while (filler.write(page) > 0) {
    }
    // The last partial page, byte by byte.
    while (filler.write("x", 1) == 1) {
    }
}

void SmallDisk::release() {
    QFile::remove(filePath(QStringLiteral("filler")));
}

} // namespace kwtest
