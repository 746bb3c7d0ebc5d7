#pragma once

// What every benchmark that drives the real window needs before its QApplication exists and after.

#include "app/ui/Messages.h"

#include <QByteArray>
#include <QtGlobal>

namespace bench {

/** Offscreen unless the caller chose a platform (DISPLAY=:N QT_QPA_PLATFORM=xcb for a real X server). */
inline void defaultToOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

/** No message box waits for a click and no sound plays while a benchmark runs. */
inline void silenceBoxesAndSound() {
    kw::Messages::setHandler([](kw::Messages::Kind, const QString&) {});
    kw::Sound::setPlayer([](const QString&) {});
}

} // namespace bench
