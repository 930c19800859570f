#pragma once

#include "sheet/Clock.h"

namespace orv::sheet {

class Workbook;

// Computes every formula of the workbook in dependency order and stores the
// results as the cells' values. Cells on a circular reference (and the ones
// that depend on them) get the error value #VALUE!.
void recalculate(Workbook &workbook, const Clock &clock);

} // namespace orv::sheet
