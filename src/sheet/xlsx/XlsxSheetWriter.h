#pragma once

#include "sheet/model/Workbook.h"
#include "sheet/xlsx/XlsxFormats.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace orv::sheet::xlsx {

// Writes sheet `index` of the workbook into the library's worksheet: sizes,
// cells with their formats and formula results, merges, view, page setup,
// print names and conditional formats. A Failure says what could not be
// written and where.
void writeXlsxSheet(lxw_workbook *target, lxw_worksheet *worksheet, const Workbook &workbook, int index,
                    XlsxFormats &formats);

} // namespace orv::sheet::xlsx
