#pragma once

#include "sheet/model/Workbook.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/SharedStringTable.h"
#include "sheet/xls/XlsStyles.h"

#include <QByteArray>
#include <vector>

namespace orv::sheet::xls {

// A worksheet substream. Its INDEX record holds positions in the workbook
// stream, which are known only once the globals before it are written: until
// it is placed they count from the substream's start.
class WorksheetStream {
public:
    WorksheetStream(QByteArray bytes, std::vector<qsizetype> positionFields)
        : mBytes(std::move(bytes)), mPositionFields(std::move(positionFields))
    {
    }
    // The substream's bytes for stream offset `base`.
    QByteArray placedAt(qsizetype base) &&;

private:
    QByteArray mBytes;
    std::vector<qsizetype> mPositionFields; // where the INDEX record holds a position
};

// The worksheet substream of sheet `index`. Its texts join `strings` as they
// are met, so that the table is complete once every sheet is written.
WorksheetStream writeWorksheet(const Workbook &workbook, int index, const StyleTable &styles,
                               SharedStringTable &strings, const SheetLinks &links);

} // namespace orv::sheet::xls
