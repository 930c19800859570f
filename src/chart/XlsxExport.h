#pragma once

#include <QString>

namespace orv::chart {

// True when a path names an .xlsx workbook (by its extension, in any case).
bool isXlsxPath(const QString &path);

// Saves the chart workbook the builder wrote (a 97-2003 file at `xlsPath`)
// as an .xlsx workbook at `target`: the same sheets, formulas with their
// results, looks and conditional formats. Any file at `target` is replaced
// only once the new one is complete; a failure leaves it untouched and throws
// a Failure naming the file and the reason.
void saveChartWorkbookAsXlsx(const QString &xlsPath, const QString &target);

} // namespace orv::chart
