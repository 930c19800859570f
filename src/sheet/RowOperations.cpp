#include "sheet/RowOperations.h"

#include "files/Failure.h"
#include "sheet/formula/ReferenceAdjustment.h"
#include "sheet/model/Workbook.h"

namespace orv::sheet {

namespace {

void checkRow(int row)
{
    if (row < 0 || row >= kMaxRows)
        throw Failure(QStringLiteral("Row %1 lies outside the sheet (rows 1 to %2)").arg(row + 1).arg(kMaxRows));
}

CellRange shifted(CellRange range, int rows)
{
    range.firstRow += rows;
    range.lastRow += rows;
    return range;
}

// Ranges after an insertion; the ones pushed off the sheet are dropped.
void adjustRanges(std::vector<CellRange> &ranges, int at, int count)
{
    std::vector<CellRange> kept;
    kept.reserve(ranges.size());
    for (const CellRange &range : ranges)
        if (const auto moved = adjustRange(range, at, count))
            kept.push_back(*moved);
    ranges = std::move(kept);
}

// Adds a pasted range to a conditional format's ranges: nothing when an
// existing range covers it, an extension of a range it continues straight
// below, otherwise a range of its own. The first range's top-left cell never
// moves, since the rule formulas are written for it.
void addConditionalRange(std::vector<CellRange> &ranges, const CellRange &added)
{
    for (CellRange &range : ranges) {
        if (range.contains(added.topLeft()) && range.contains({added.lastRow, added.lastColumn}))
            return;
        if (range.firstColumn == added.firstColumn && range.lastColumn == added.lastColumn
            && added.firstRow == range.lastRow + 1) {
            range.lastRow = added.lastRow;
            return;
        }
    }
    ranges.push_back(added);
}

void adjustSheetFormulas(Sheet &sheet, const RowInsertion &insertion)
{
    const auto adjust = [&](CellAddress, Cell &cell) {
        cell.formula = adjustForInsertedRows(cell.formula, sheet.name(), insertion);
    };
    // On the sheet that grows, formulas above the new rows that refer to
    // nothing below them stay as they are and need no visit.
    if (sheet.name().compare(insertion.insertedSheet, Qt::CaseInsensitive) == 0)
        sheet.forEachFormulaCellReaching(
            insertion.firstRow, [](const Cell &cell) { return lastReferencedRow(*cell.formula); }, adjust);
    else
        sheet.forEachFormulaCell(adjust);
    for (ConditionalFormat &format : sheet.conditionalFormats())
        for (ConditionalRule &rule : format.rules)
            rule.formula = adjustForInsertedRows(rule.formula, sheet.name(), insertion);
}

void adjustInsertedSheet(Sheet &sheet, int at, int count)
{
    auto &formats = sheet.conditionalFormats();
    for (ConditionalFormat &format : formats)
        adjustRanges(format.ranges, at, count);
    adjustRanges(sheet.mergedRanges(), at, count);
    PrintAreas &areas = sheet.printAreas();
    adjustRanges(areas.printArea, at, count);
    if (areas.titleRows)
        areas.titleRows = adjustRange(*areas.titleRows, at, count);
}

// A merge that the insertion stretches must not end up overlapping a
// pasted merge: refused before anything changes.
void checkPastedMerges(const Sheet &sheet, int at, const CopiedRows &rows)
{
    for (const CellRange &existing : sheet.mergedRanges()) {
        if (existing.firstRow >= at || existing.lastRow < at)
            continue;
        const CellRange stretched{existing.firstRow, existing.firstColumn, existing.lastRow + rows.rowCount(),
                                  existing.lastColumn};
        for (const CellRange &merge : rows.merges)
            if (stretched.intersects(shifted(merge, at)))
                throw Failure(QStringLiteral("The copied rows cannot be inserted at row %1: their merged cells "
                                             "would overlap the merged cells around that row")
                                  .arg(at + 1));
    }
}

void pasteConditionalParts(Sheet &sheet, bool sameSheet, int at, const CopiedRows &rows)
{
    auto &formats = sheet.conditionalFormats();
    for (const CopiedRows::ConditionalPart &part : rows.conditionalParts) {
        if (sameSheet && part.formatIndex < static_cast<int>(formats.size())) {
            for (const CellRange &range : part.ranges)
                addConditionalRange(formats[part.formatIndex].ranges, shifted(range, at));
            continue;
        }
        // On another sheet the part becomes a format of its own, its rules
        // rewritten for its new first cell.
        ConditionalFormat format;
        for (const CellRange &range : part.ranges)
            format.ranges.push_back(shifted(range, at));
        const CellAddress anchor = format.ranges.front().topLeft();
        for (ConditionalRule rule : part.rules) {
            rule.formula = translateFormula(rule.formula, anchor.row - part.anchor.row,
                                            anchor.column - part.anchor.column);
            format.rules.push_back(std::move(rule));
        }
        formats.push_back(std::move(format));
    }
}

// Formats whose ranges were all pushed off the sheet. They are removed only
// after a paste, which finds its formats by their place in the list.
void removeFormatsWithoutRanges(Sheet &sheet)
{
    std::erase_if(sheet.conditionalFormats(), [](const ConditionalFormat &format) { return format.ranges.empty(); });
}

void insertEmptyRows(Workbook &workbook, Sheet &sheet, int at, int count)
{
    checkRow(at);
    if (count < 1)
        throw Failure(QStringLiteral("At least one row must be inserted, not %1").arg(count));
    if (count > kMaxRows - at)
        throw Failure(QStringLiteral("%1 rows inserted at row %2 would reach past the sheet's last row %3")
                          .arg(count)
                          .arg(at + 1)
                          .arg(kMaxRows));
    const int last = sheet.lastRow();
    if (last >= at && last + count >= kMaxRows)
        throw Failure(QStringLiteral("Inserting %1 rows at row %2 would push cells off the end of the sheet")
                          .arg(count)
                          .arg(at + 1));
    sheet.shiftRowsDown(at, count);
    const RowInsertion insertion{sheet.name(), at, count};
    for (int index = 0; index < workbook.sheetCount(); ++index)
        adjustSheetFormulas(workbook.sheet(index), insertion);
    adjustInsertedSheet(sheet, at, count);
}

} // namespace

CopiedRows copyRows(const Sheet &sheet, int firstRow, int lastRow)
{
    checkRow(firstRow);
    checkRow(lastRow);
    if (lastRow < firstRow)
        throw Failure(QStringLiteral("Rows %1 to %2 are not a range of rows").arg(firstRow + 1).arg(lastRow + 1));
    CopiedRows copied;
    copied.sheetName = sheet.name();
    copied.firstRow = firstRow;
    const int count = lastRow - firstRow + 1;
    copied.cells.reserve(count);
    copied.rowInfos.reserve(count);
    for (int row = firstRow; row <= lastRow; ++row) {
        copied.cells.push_back(sheet.rowCells(row));
        const RowInfo *info = sheet.rowInfo(row);
        copied.rowInfos.push_back(info ? std::optional<RowInfo>(*info) : std::nullopt);
    }
    for (const CellRange &merge : sheet.mergedRanges())
        if (merge.firstRow >= firstRow && merge.lastRow <= lastRow)
            copied.merges.push_back(shifted(merge, -firstRow));
    const auto &formats = sheet.conditionalFormats();
    for (int index = 0; index < static_cast<int>(formats.size()); ++index) {
        const ConditionalFormat &format = formats[index];
        CopiedRows::ConditionalPart part{index, {}, format.rules, format.ranges.front().topLeft()};
        for (const CellRange &range : format.ranges) {
            if (range.lastRow < firstRow || range.firstRow > lastRow)
                continue;
            const CellRange clipped{std::max(range.firstRow, firstRow), range.firstColumn,
                                    std::min(range.lastRow, lastRow), range.lastColumn};
            part.ranges.push_back(shifted(clipped, -firstRow));
        }
        if (!part.ranges.empty())
            copied.conditionalParts.push_back(std::move(part));
    }
    return copied;
}

void insertRows(Workbook &workbook, Sheet &sheet, int at, int count)
{
    insertEmptyRows(workbook, sheet, at, count);
    removeFormatsWithoutRanges(sheet);
}

void insertCopiedRows(Workbook &workbook, Sheet &sheet, int at, const CopiedRows &rows)
{
    if (rows.rowCount() == 0)
        throw Failure(QStringLiteral("No rows have been copied"));
    checkPastedMerges(sheet, at, rows);
    const bool sameSheet = rows.sheetName.compare(sheet.name(), Qt::CaseInsensitive) == 0;
    insertEmptyRows(workbook, sheet, at, rows.rowCount());

    // The copied formulas follow the insertion like the source rows did,
    // then move from where the source now stands to the new rows.
    const RowInsertion insertion{sheet.name(), at, rows.rowCount()};
    const int sourceRow = sameSheet && rows.firstRow >= at ? rows.firstRow + rows.rowCount() : rows.firstRow;
    const int distance = at - sourceRow;
    for (int i = 0; i < rows.rowCount(); ++i) {
        std::map<int, Cell> cells = rows.cells[i];
        for (auto &[column, cell] : cells)
            if (cell.hasFormula())
                cell.formula = translateFormula(adjustForInsertedRows(cell.formula, rows.sheetName, insertion),
                                                distance, 0);
        sheet.setRowCells(at + i, std::move(cells));
        if (rows.rowInfos[i])
            sheet.setRowInfo(at + i, *rows.rowInfos[i]);
    }
    for (const CellRange &merge : rows.merges)
        sheet.mergedRanges().push_back(shifted(merge, at));
    pasteConditionalParts(sheet, sameSheet, at, rows);
    removeFormatsWithoutRanges(sheet);
}

} // namespace orv::sheet
