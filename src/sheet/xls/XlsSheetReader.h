#pragma once

#include "sheet/model/Sheet.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/Palette.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace orv::sheet::xls {

// The cells a workbook may bring in all its sheets together: a file of a few
// hundred kilobytes can state millions of cells, and each costs memory.
class CellBudget {
public:
    explicit CellBudget(std::size_t cells) : mLeft(cells) {}
    // Throws a Failure once the budget is spent.
    void take();

private:
    std::size_t mLeft;
};

// What a worksheet needs from the workbook globals while it is read.
struct SheetReadContext {
    const QByteArray &stream;
    const std::vector<QString> &strings; // the shared string table
    const SheetLinks &links;
    const Palette &palette;
    const std::vector<int> &xfFormats; // workbook format of each XF record
    CellBudget &cells;
    int columns; // cells right of these are skipped

    int formatOfXf(unsigned xf) const { return xf < xfFormats.size() ? xfFormats[xf] : 0; }
};

// Reads the worksheet substream at `offset` into the sheet. Records the
// engine does not model are skipped.
void readWorksheet(const SheetReadContext &context, Sheet &sheet, qsizetype offset);

// Reads a BOF record and checks that it opens a BIFF8 substream of the type.
void expectBof(RecordReader &records, unsigned type);

bool isValidRange(const CellRange &range);

} // namespace orv::sheet::xls
