// The update reply parser: the lines of any body, and each line read as a draw.
#include "FuzzUtil.h"
#include "draws/DrawLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = kw::replyLines(body);
    kwfuzz::check(!body.isEmpty() || lines.isEmpty(), "an empty body has lines");
    for (const QString& line : lines) {
        kwfuzz::check(!line.contains(u'\n') && !line.contains(u'\r'), "a line holds a line break");
        const auto numbers = kw::parseDrawLine(line);
        if (!numbers)
            continue;
        for (size_t k = 0; k < 10; ++k)
            kwfuzz::check((*numbers)[k] >= 1 && (*numbers)[k] <= 37, "a number outside 1..37 was taken");
        for (size_t k = 1; k < 8; ++k)
            kwfuzz::check((*numbers)[k - 1] <= (*numbers)[k], "the drawn numbers are not ascending");
    }
    return 0;
}
