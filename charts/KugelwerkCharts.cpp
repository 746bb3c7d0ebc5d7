// Cross-sum and neighbouring-pair analyses on the chart tab.
#include "app/Kugelwerk.h"

void TKugelwerk::SpeedButton8Click() {}
void TKugelwerk::PaareClick() {}
