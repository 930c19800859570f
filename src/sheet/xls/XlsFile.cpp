#include "sheet/xls/XlsFile.h"

#include "files/Failure.h"
#include "files/FileAccess.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orv::sheet::xls {

void saveWorkbookAs(const Workbook &workbook, const QString &path, int fileFormat)
{
    if (fileFormat != kFileFormatExcel8 && fileFormat != kFileFormatWorkbookNormal)
        throw Failure(QStringLiteral("Cannot save %1: file format %2 is not supported (use 56 or -4143)")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(fileFormat));
    files::replaceFile(writeXlsFile(workbook, TemplateMark::Drop), path);
}

void saveWorkbook(const Workbook &workbook, const QString &path)
{
    files::replaceFile(writeXlsFile(workbook, TemplateMark::Keep), path);
}

Workbook openWorkbook(const QString &path, files::Links links)
{
    const QFileInfo info(path);
    if (!info.exists() && !(links == files::Links::Refuse && info.isSymLink()))
        throw Failure(QStringLiteral("File not found: %1").arg(QDir::toNativeSeparators(path)));
    const QByteArray bytes = files::readWholeFile(path, links);
    try {
        return readXlsFile(bytes);
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), failure.description()));
    }
}

} // namespace orv::sheet::xls
