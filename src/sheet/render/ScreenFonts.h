#pragma once

#include "sheet/model/CellFormat.h"

#include <QFont>

namespace orv::sheet {

// Sheets are drawn as a screen of 96 dots per inch shows them.
inline constexpr double kScreenDpi = 96.0;

// The installed family that stands in for a workbook's font: the
// metric-compatible Carlito for Calibri and Liberation Sans for Arial;
// other names are used as they are.
QString installedFamily(const QString &workbookFamily);

// The font a cell's text is drawn with, sized in points for a 96-DPI
// picture. Characters the family lacks come from another installed font.
QFont screenFont(const Font &font);

// The maximum digit width in pixels: the widest of "0" to "9" in the font at
// its exact fractional pixel size, whole pixels dropped as spreadsheet
// applications do (Calibri 11 and Arial 10 both give 7).
int maximumDigitWidth(const Font &font);

} // namespace orv::sheet
