#include "sheet/xlsx/XlsxWriter.h"

#include "files/FileAccess.h"
#include "files/Failure.h"
#include "files/FileName.h"
#include "files/StagingNames.h"
#include "sheet/xlsx/ClassicNumbers.h"
#include "sheet/xlsx/PackageCheck.h"
#include "sheet/xlsx/XlsxErrors.h"
#include "sheet/xlsx/XlsxFormats.h"
#include "sheet/xlsx/XlsxSheetWriter.h"

#include <QDir>
#include <memory>

#include <xlsxwriter.h>

namespace orv::sheet::xlsx {

namespace {

struct WorkbookFree {
    void operator()(lxw_workbook *workbook) const { lxw_workbook_free(workbook); }
};
using WorkbookHandle = std::unique_ptr<lxw_workbook, WorkbookFree>;

lxw_worksheet *addSheet(lxw_workbook *target, const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    checkXlsx(workbook_validate_sheet_name(target, utf8.constData()), QStringLiteral("Sheet %1").arg(name));
    lxw_worksheet *worksheet = workbook_add_worksheet(target, utf8.constData());
    if (!worksheet)
        throw Failure(QStringLiteral("Sheet %1: %2").arg(name, xlsxErrorText(LXW_ERROR_MEMORY_MALLOC_FAILED)));
    return worksheet;
}

// libxlsxwriter writes to a named file only, so the package is put together
// in a temporary file and read back.
void writePackage(const Workbook &workbook, const QByteArray &path, const QString &scratchFolder)
{
    const ClassicNumbers decimalPoint;
    QByteArray folder = files::fileNameBytes(scratchFolder);
    lxw_workbook_options options{};
    options.tmpdir = folder.data();
    // Each row goes to the file when the next one starts, and the memory of
    // its cells serves the next: a chart's hundreds of thousands of cells
    // are never all held at once. The rows must come in order, and texts are
    // stored in their cells rather than in a shared table.
    options.constant_memory = LXW_TRUE;
    WorkbookHandle target(workbook_new_opt(path.constData(), &options));
    if (!target)
        throw Failure(xlsxErrorText(LXW_ERROR_MEMORY_MALLOC_FAILED));
    XlsxFormats formats(target.get(), workbook);
    for (int index = 0; index < workbook.sheetCount(); ++index)
        writeXlsxSheet(target.get(), addSheet(target.get(), workbook.sheet(index).name()), workbook, index, formats);
    // Closing writes the file and frees the workbook, whatever the outcome.
    const int closed = workbook_close(target.release());
    if (closed != LXW_NO_ERROR)
        throw Failure(xlsxErrorText(closed));
}

} // namespace

QByteArray writeXlsxFile(const Workbook &workbook, const QString &scratchFolder)
{
    if (workbook.sheetCount() == 0)
        throw Failure(QStringLiteral("A workbook must have at least one sheet"));
    const files::ScratchFile file(scratchFolder);
    writePackage(workbook, file.path(), scratchFolder);
    const QByteArray package = files::readWholeFile(files::fileNameFromBytes(file.path()), files::Links::Refuse);
    checkPackage(package);
    return package;
}

void saveWorkbookAsXlsx(const Workbook &workbook, const QString &path, const QString &scratchFolder)
{
    QByteArray bytes;
    try {
        bytes = writeXlsxFile(workbook, scratchFolder);
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), failure.description()));
    }
    files::replaceFile(bytes, path);
}

} // namespace orv::sheet::xlsx
