// The tip table, the tip list and the checks against the draw on display.
#include "app/Kugelwerk.h"

void TKugelwerk::TippsSetValue(int col, int row, const QVariant& value) {
    if (col == 0)
        setFlag(row, value.toBool());
    else
        setCell(col, row, value.toString());
}
void TKugelwerk::Loeschen() { TipTable::Loeschen(); }
void TKugelwerk::Button4Click() {}
void TKugelwerk::ListView1ItemClick(int) {}
void TKugelwerk::Switch1Switch() {}
void TKugelwerk::Zettelcheck(const QString&, const QString&, const QString&, const QString&, const QString&,
                             const QString&, const QString&, const QString&) {}
int TKugelwerk::Komplettcheck() { return 0; }
