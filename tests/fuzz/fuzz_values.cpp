// The value readers of the settings file: whatever a value holds, reading gives a value or
// nothing, and what is written for a value read back gives that value again.
#include "FuzzUtil.h"
#include "app/Numbers.h"
#include "app/SettingsRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString raw = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto n = kw::readInteger(raw))
        kwfuzz::check(kw::readInteger(kw::writeInteger(*n)) == n, "an integer does not round-trip");
    if (const auto b = kw::readBoolean(raw))
        kwfuzz::check(kw::readBoolean(kw::writeBoolean(*b)) == b, "a boolean does not round-trip");
    if (const auto d = kw::readDate(raw)) {
        kwfuzz::check(d->isValid(), "an invalid date was read");
        kwfuzz::check(kw::readDate(kw::writeDate(*d)) == d, "a date does not round-trip");
    }
    if (const auto i = kw::tryStrToInt(raw))
        kwfuzz::check(kw::tryStrToInt(QString::number(*i)) == i, "a number does not round-trip");
    return 0;
}
