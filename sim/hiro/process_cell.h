#pragma once
// The one simulated cell of the HiroSimComp process. The middleware constructs the
// components through factories that get only the manager, so they find the cell here; the
// program sets it before the manager starts and keeps it alive until the manager has ended.

#include "hiro_cell.h"

namespace hirosim {

void setProcessCell(HiroCell* cell);
HiroCell& processCell();

}  // namespace hirosim
