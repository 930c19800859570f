#pragma once

#include "sheet/model/Workbook.h"

#include <QByteArray>
#include <QString>

namespace orv::sheet::xlsx {

// The complete .xlsx file of a workbook, written with libxlsxwriter: every
// sheet with its visibility, sizes, cells and formula results, formats,
// merges, view, page setup, print names and conditional formats. Throws a
// Failure saying what could not be written.
QByteArray writeXlsxFile(const Workbook &workbook);

// Saves the workbook as an .xlsx file. The file is written to a temporary
// file in the target folder and renamed into place only when complete, so a
// failed save leaves any older file untouched. A Failure names the path.
void saveWorkbookAsXlsx(const Workbook &workbook, const QString &path);

} // namespace orv::sheet::xlsx
