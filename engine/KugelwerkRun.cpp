// Number statistics on the chart and the tip generator run.
#include "app/Kugelwerk.h"

void TKugelwerk::SpeedButton2Click() {}
void TKugelwerk::SpeedButton1Click() {}
void TKugelwerk::Button1Click() {}
bool TKugelwerk::runRunning() const { return false; }
