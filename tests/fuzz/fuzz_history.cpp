// The history reader: any file is read as whole records, and every reader passes over damaged
// ones the same way (no date conversion of a date that is no day).
#include "FuzzUtil.h"
#include "app/Dates.h"
#include "charts/Analyses.h"
#include "draws/HistoryFile.h"
#include "engine/Statistics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = kwfuzz::scratchFile("setforlife.dat");
    kwfuzz::writeFile(path, data, size);
    const std::vector<kw::TZiehung> all = kw::HistoryFile::readAll(path);
    kwfuzz::check(all.size() == size / kw::TZiehung::kSize, "not every whole record was read");

    // The lookup: the first good record on or after a day, as the draw bar does it.
    double newest = 0;
    for (const kw::TZiehung& z : all) {
        if (!kw::isRecordDay(z.Ziehungsdatum))
            continue;
        newest = z.Ziehungsdatum;
        kwfuzz::check(kw::dateFromDay(z.Ziehungsdatum).isValid(), "a good day has no date");
        (void)kw::formatDay(z.Ziehungsdatum);
        (void)kw::formatYmd(z.Ziehungsdatum);
    }
    const double start = kw::kFirstCalendarDay - 1, end = kw::kLastCalendarDay;
    (void)kw::distribution(all, start, end);
    (void)kw::overdue(all, start, end);
    (void)kw::crossSums(all, start, end).title();
    (void)kw::pairCounts(all, start, end).title();

    // The update's read-then-append: it goes on after the last good record and leaves whole records.
    {
        kw::HistoryFile::Appender app(path);
        kwfuzz::check(app.lastDay() == newest, "the update's last day is not the last good record's");
        kw::TZiehung z;
        z.Ziehungsdatum = newest + 1;
        app.append(z);
        app.close();
    }
    kwfuzz::check(kw::HistoryFile::recordCount(path) == qint64(all.size()) + 1, "the append lost a record");
    QFile f(path);
    kwfuzz::check(f.size() % kw::TZiehung::kSize == 0, "the append left a partial record");
    return 0;
}
