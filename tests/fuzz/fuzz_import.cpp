// The reader of published results (the draws import): any file gives its draws or the first bad
// line, and every draw it gives is one the history may hold.
#include "FuzzUtil.h"
#include "app/Dates.h"
#include "draws/DrawImport.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const kw::ParsedResults r = kw::parsePublishedResults(content);
    if (r.error) {
        kwfuzz::check(!r.error->reason.isEmpty(), "a refused file gives no reason");
        kwfuzz::check(!r.error->message().isEmpty(), "a refusal has no message");
        return 0;
    }
    std::set<qint64> days;
    for (const kw::ImportedDraw& d : r.draws) {
        kwfuzz::check(d.date.isValid() && kw::isRecordDay(kw::dayFromDate(d.date)), "a draw without a day");
        kwfuzz::check(days.insert(d.date.toJulianDay()).second, "a day given twice");
        std::set<int> seen;
        for (size_t k = 0; k < 10; ++k) {
            kwfuzz::check(d.numbers[k] >= 1 && d.numbers[k] <= 37, "a number outside 1..37");
            seen.insert(d.numbers[k]);
        }
        kwfuzz::check(seen.size() == 10, "a number given twice in a draw");
        for (size_t k = 1; k < 8; ++k)
            kwfuzz::check(d.numbers[k - 1] < d.numbers[k], "the drawn numbers are not ascending");
    }
    return 0;
}
