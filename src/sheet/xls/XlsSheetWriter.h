#pragma once

#include "sheet/model/Workbook.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/SharedStringTable.h"
#include "sheet/xls/XlsStyles.h"

#include <QByteArray>

namespace orv::sheet::xls {

// The worksheet substream of sheet `index`, to be placed at stream offset
// `base` (its INDEX record holds absolute positions).
QByteArray writeWorksheet(const Workbook &workbook, int index, const StyleTable &styles,
                          const SharedStringTable &strings, const SheetLinks &links, qsizetype base);

} // namespace orv::sheet::xls
