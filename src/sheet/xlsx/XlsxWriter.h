#pragma once

#include "sheet/model/Workbook.h"

#include <QByteArray>
#include <QString>

namespace orv::sheet::xlsx {

// The complete .xlsx file of a workbook, written with libxlsxwriter: every
// sheet with its visibility, sizes, cells and formula results, formats,
// merges, view, page setup, print names and conditional formats. Throws a
// Failure saying what could not be written. libxlsxwriter writes only to
// files: the package and its own temporary files are put together in
// `scratchFolder`, a folder no other user may write (the private temporary
// folder), and removed from there.
QByteArray writeXlsxFile(const Workbook &workbook, const QString &scratchFolder);

// Saves the workbook as an .xlsx file through a files::StagedFile, so a
// failed save leaves any older file untouched. A Failure names the path.
void saveWorkbookAsXlsx(const Workbook &workbook, const QString &path, const QString &scratchFolder);

} // namespace orv::sheet::xlsx
