// The server's data file: any file loads or names its bad line, and every draw it holds reaches
// the program's reply parser as the same numbers.
#include "FuzzUtil.h"
#include "draws/DrawLine.h"
#include "server/DrawData.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = kwfuzz::scratchFile("draws.txt");
    kwfuzz::writeFile(path, data, size);
    kw::srv::DrawStore store;
    QString error;
    if (!store.load(path, &error))
        kwfuzz::check(!error.isEmpty(), "a refused file gives no reason");

    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (kw::srv::isCommentLine(line))
            continue;
        const auto draw = kw::srv::parseDataLine(line, &error);
        if (!draw)
            continue;
        kwfuzz::check(kw::srv::parseDataLine(kw::srv::formatDataLine(*draw), nullptr) == draw,
                      "a data line does not round-trip");
        const QStringList reply = kw::replyLines(kw::srv::replyLine(*draw));
        kwfuzz::check(reply.size() == 1, "a reply line is not one line");
        const auto numbers = kw::parseDrawLine(reply.first());
        kwfuzz::check(numbers.has_value(), "the program refuses the server's reply line");
        std::array<int, 8> sorted = draw->numbers;
        std::sort(sorted.begin(), sorted.end());
        for (size_t k = 0; k < 8; ++k)
            kwfuzz::check((*numbers)[k] == sorted[k], "a drawn number changed on the way");
        kwfuzz::check((*numbers)[8] == draw->extra[0] && (*numbers)[9] == draw->extra[1],
                      "a supplementary number changed on the way");
    }
    return 0;
}
