#include "chart/XlsxExport.h"

#include "sheet/xls/XlsFile.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QFileInfo>

namespace orv::chart {

bool isXlsxPath(const QString &path) { return path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive); }

void saveChartWorkbookAsXlsx(const QString &xlsPath, const QString &target)
{
    sheet::xlsx::saveWorkbookAsXlsx(sheet::xls::openWorkbook(xlsPath), target, QFileInfo(xlsPath).absolutePath());
}

QByteArray chartWorkbookAsXlsx(const QByteArray &xlsBytes, const QString &scratchFolder)
{
    return sheet::xlsx::writeXlsxFile(sheet::xls::readXlsFile(xlsBytes), scratchFolder);
}

} // namespace orv::chart
