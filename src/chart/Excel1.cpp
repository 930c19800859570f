#include "chart/Excel1.h"

#include "app/Conversions.h"
#include "app/ReportingOperation.h"
#include "chart/ObjectVariable.h"
#include "chart/SpreadsheetApplication.h"
#include "files/Failure.h"

#include <QLocale>

namespace orv::chart {

std::unique_ptr<Application> OpenExcelWorkbook(ApplicationFactory &factory, const QString &path)
{
    std::unique_ptr<Application> app = factory.create();
    app->Workbooks().Open(path);
    return app;
}

int GetSaveFileFormat(Application *instance, ApplicationFactory *factory)
{
    QString version;
    if (instance) {
        version = instance->Version();
    } else {
        if (!factory)
            throw Failure(QStringLiteral("No spreadsheet application to ask for its version"));
        const std::unique_ptr<Application> own = factory->create();
        version = own->Version();
        own->Quit();
    }
    return saveFileFormatForVersion(version);
}

int saveFileFormatForVersion(const QString &version)
{
    bool ok = false;
    const double number = QLocale().toDouble(ConvertDecimalSeparator(version).trimmed(), &ok);
    if (!ok)
        throw Failure(QStringLiteral("Type mismatch"));
    return toInt16(number) > 11 ? xlExcel8 : xlWorkbookNormal;
}

QString ConvertDecimalSeparator(const QString &text)
{
    const QString separator = GetDecimalSeparator();
    QString converted = text;
    converted.replace(u'.', separator);
    converted.replace(u',', separator);
    return converted;
}

QString GetDecimalSeparator()
{
    return QLocale().toString(0.5, 'g').trimmed().mid(1, 1);
}

HandedPicture saveCellsActivesheet(MessageBoxes &messages, Workbook &workbook, const QString &path)
{
    HandedPicture handed{path, {}, {}};
    ReportingOperation op(messages, QStringLiteral("in Orvantis2021/08/31.Excel1.saveCellsActivesheet "));
    std::optional<Worksheet> sheet;
    std::optional<Range> used;
    int lastRow = 0;
    int lastColumn = 0;
    op(100, [&] { sheet = workbook.ActiveSheet(); });
    op(102, [&] {
        used = need(sheet).UsedRange();
        const Range rows = used->Rows();
        lastRow = rows.Item(rows.count()).Row();
    });
    op(104, [&] {
        const Range columns = need(used).Columns();
        lastColumn = columns.Item(columns.count()).Column();
    });
    bool goOn = false;
    op(106, [&] { goOn = lastRow > 1 && lastColumn > 1; });
    if (!goOn)
        return handed;
    op(110, [&] { need(used).CopyPicture(); });
    op(112, [&] {
        const std::optional<CopiedPicture> picture = GetClipboardPicture(workbook.application(), 0);
        if (!picture)
            throw Failure(QStringLiteral("Invalid picture"));
        handed = picture->save(path);
    });
    return handed;
}

std::optional<CopiedPicture> GetClipboardPicture(Application &app, int /*format*/)
{
    // The copy buffer is the instance's own and holds one picture format; no
    // other program can hold it, so a read never has to be retried.
    return app.clipboardPicture();
}

} // namespace orv::chart
