#include "TestUtil.h"

#include <QFile>
#include <stdexcept>

namespace kwtest {

kw::TZiehung draw(double day, std::initializer_list<int> numbers) {
    kw::TZiehung z;
    z.Ziehungsdatum = day;
    int i = 0;
    for (int n : numbers)
        z.Zahlen[size_t(i++)] = uint8_t(n);
    return z;
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

} // namespace kwtest
