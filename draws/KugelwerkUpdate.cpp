// The draw update: one request per missing day, each draw appended to the history file.
#include "app/Kugelwerk.h"
#include "draws/HistoryFile.h"

#include <QFileInfo>

void TKugelwerk::BitBtn1Click() {
    if (!QFileInfo::exists(ZahlenFile))
        kw::HistoryFile::createSeeded(ZahlenFile);
}
