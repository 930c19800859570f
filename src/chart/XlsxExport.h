#pragma once

#include <QByteArray>
#include <QString>

namespace orv::chart {

// True when a path names an .xlsx workbook (by its extension, in any case).
bool isXlsxPath(const QString &path);

// Saves the chart workbook the builder wrote (a 97-2003 file at `xlsPath`)
// as an .xlsx workbook at `target`, put together in the chart workbook's
// own (temporary) folder: the same sheets, formulas with their
// results, looks and conditional formats. Any file at `target` is replaced
// only once the new one is complete; a failure leaves it untouched and throws
// a Failure naming the file and the reason.
void saveChartWorkbookAsXlsx(const QString &xlsPath, const QString &target);

// The .xlsx file of a chart workbook given as the bytes of its 97-2003 file.
// It is put together in `scratchFolder`. Throws a Failure saying what could
// not be read or written.
QByteArray chartWorkbookAsXlsx(const QByteArray &xlsBytes, const QString &scratchFolder);

} // namespace orv::chart
