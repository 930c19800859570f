#pragma once

#include "sheet/model/CellAddress.h"

#include <QString>
#include <optional>
#include <vector>

namespace orv::sheet {

enum class SheetVisibility { Visible, Hidden, VeryHidden };

// What the window shows of a sheet.
struct SheetView {
    bool showGridlines = true;
    // Panes frozen left of frozenColumns and above frozenRows (0 = none).
    int frozenColumns = 0;
    int frozenRows = 0;
    CellAddress activeCell;
    std::vector<CellRange> selection; // empty: the active cell alone
    bool selected = false;            // the sheet's tab is selected
};

enum class Orientation { Portrait, Landscape };

// Margins in inches. A 97-2003 workbook without margin records prints with
// these; the header and footer margins are the ones its page setup stores.
struct PageMargins {
    double left = 0.75;
    double right = 0.75;
    double top = 1.0;
    double bottom = 1.0;
    double header = 0.3;
    double footer = 0.3;
};

struct PageSetup {
    Orientation orientation = Orientation::Portrait;
    int paperSize = 1; // the format's paper code: 1 = letter, 9 = A4
    int scale = 100;   // per cent
    QString header;
    QString footer;
    PageMargins margins;
};

// A column's width in characters as the user sees it (8.43 for the
// default width of a Calibri 11 workbook).
struct ColumnInfo {
    double width = 8.43;
    bool hidden = false;
    int formatIndex = 0;

    friend bool operator==(const ColumnInfo &, const ColumnInfo &) = default;
};

// A row's height in points; unset rows have the sheet's default height.
struct RowInfo {
    double height = 15;
    bool customHeight = false;
    bool hidden = false;
    std::optional<int> formatIndex;

    friend bool operator==(const RowInfo &, const RowInfo &) = default;
};

// A built-in defined name of a sheet.
struct PrintAreas {
    std::vector<CellRange> printArea;      // empty: none
    std::optional<CellRange> titleColumns; // whole columns repeated on every page
    std::optional<CellRange> titleRows;    // whole rows repeated on every page
};

} // namespace orv::sheet
