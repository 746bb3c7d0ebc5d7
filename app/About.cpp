#include "app/About.h"

#include <QtGlobal>

#ifndef KW_VERSION
#error "KW_VERSION comes from the project version in CMakeLists.txt"
#endif

QString kw::programVersion() {
    return QStringLiteral(KW_VERSION);
}

QString kw::aboutText() {
    // The Qt named is the one the program runs on, which may be newer than the one it was built with.
    return QStringLiteral("Kugelwerk %1, licence GPL-3.0-or-later. Uses Qt %2, licence LGPL-3.0-only.")
        .arg(programVersion(), QString::fromLatin1(qVersion()));
}
