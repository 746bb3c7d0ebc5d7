#pragma once

#include "tips/TipExport.h"

#include <QDate>
#include <QString>
#include <vector>

class QPagedPaintDevice;

namespace kw {

/** What a printed page of tips shows. */
struct TipSheet {
    QString title;
    QDate printed;
    ShownDraw draw;
    std::vector<TipOut> tips;
};

/**
 * Paints the sheet on a printer or a PDF writer: the title, the day printed, the draw on display
 * with its ten balls, and the tips as a table with the numbers that hit marked, on as many pages
 * as they need. Returns the number of pages.
 */
int paintTipSheet(QPagedPaintDevice& device, const TipSheet& sheet);

} // namespace kw
