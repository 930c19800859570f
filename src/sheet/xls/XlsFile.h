#pragma once

#include "files/FileAccess.h"
#include "sheet/model/Workbook.h"

#include <QString>

namespace orv::sheet::xls {

// The object model's numbers for the 97-2003 workbook format.
inline constexpr int kFileFormatWorkbookNormal = -4143;
inline constexpr int kFileFormatExcel8 = 56;

// Saves the workbook as a 97-2003 workbook (format 56 or -4143; any other
// number is refused). A template is saved as a plain workbook. The file is
// written to a hidden file in the target folder and renamed into place only
// when complete, so a failed save leaves any older file untouched. A link at
// the path is replaced by the file, never written through.
void saveWorkbookAs(const Workbook &workbook, const QString &path, int fileFormat);

// Saves the workbook keeping its template mark (a .xlt when it is a template).
void saveWorkbook(const Workbook &workbook, const QString &path);

// Opens a 97-2003 workbook or template. A Failure names the file and says
// what is wrong with it. With Links::Refuse a link at the path is refused.
Workbook openWorkbook(const QString &path, files::Links links = files::Links::Follow);

} // namespace orv::sheet::xls
