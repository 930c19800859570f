#pragma once

#include "sheet/model/Cell.h"
#include "sheet/model/CellAddress.h"
#include "sheet/model/ConditionalFormat.h"
#include "sheet/model/SheetSettings.h"

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace orv::sheet {

class Sheet;
class Workbook;

// Whole rows taken from a sheet with everything they hold: cells with their
// values, formulas and formats, row heights, the merged ranges inside them
// and the parts of the conditional formats that cover them.
struct CopiedRows {
    struct ConditionalPart {
        int formatIndex = 0;            // in the source sheet's list
        std::vector<CellRange> ranges;  // rows relative to the first copied row
        std::vector<ConditionalRule> rules;
        CellAddress anchor;             // the format's anchor when copied
    };

    QString sheetName;
    int firstRow = 0;
    std::vector<std::map<int, Cell>> cells; // per copied row, by column
    std::vector<std::optional<RowInfo>> rowInfos;
    std::vector<CellRange> merges;          // rows relative to the first copied row
    std::vector<ConditionalPart> conditionalParts;

    int rowCount() const { return static_cast<int>(cells.size()); }
};

// Copies rows first..last (0-based, inclusive).
CopiedRows copyRows(const Sheet &sheet, int firstRow, int lastRow);

// Inserts `count` empty rows above row `at`, moving everything from that
// row on down and adjusting every reference to the moved cells in the
// workbook: formulas, conditional formats (their rules and ranges), merged
// ranges and print areas. Throws a Failure, before changing anything, for a
// row outside the sheet or when cells would be pushed off its end.
void insertRows(Workbook &workbook, Sheet &sheet, int at, int count);

// Inserts the copied rows above row `at` as the spreadsheet application's
// "insert copied cells" does: empty rows are inserted as by insertRows(),
// then the copies are pasted into them. Relative references in pasted
// formulas move with the distance between source and destination, absolute
// ones stay; merges are pasted; pasted conditional-format parts become
// further ranges of their format (or a new format on another sheet).
void insertCopiedRows(Workbook &workbook, Sheet &sheet, int at, const CopiedRows &rows);

} // namespace orv::sheet
