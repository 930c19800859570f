#pragma once

// A chart workbook recalculated by the other applications: LibreOffice
// saves it as .xlsx, Gnumeric recalculates and saves it as .xls again, and
// our readers read their results.
#include "sheet/OracleFiles.h"
#include "sheet/xls/XlsFile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::chart::test {

struct Recalculated {
    sheet::xls::testing::XlsxBook libreOffice;
    sheet::Workbook gnumeric;
};

// Both conversions of `xls` into `folder`; an empty LibreOffice book when it
// could not convert (its log is in the test's failure).
inline Recalculated recalculatedElsewhere(const QString &xls, const QTemporaryDir &folder)
{
    using sheet::xls::testing::runProgram;
    QString log;
    runProgram(QStringLiteral("soffice"),
               {QStringLiteral("-env:UserInstallation=file://") + folder.path() + QStringLiteral("/profile"),
                QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                QStringLiteral("--outdir"), folder.path(), xls},
               &log, 120000);
    runProgram(QStringLiteral("ssconvert"), {QStringLiteral("--recalc"), QStringLiteral("-T"),
                                             QStringLiteral("Gnumeric_Excel:excel_biff8"), xls,
                                             folder.filePath(QStringLiteral("gnumeric.xls"))},
               &log);
    Recalculated books{sheet::xls::testing::readXlsx(folder.filePath(QFileInfo(xls).completeBaseName() + QStringLiteral(".xlsx"))),
                       sheet::xls::openWorkbook(folder.filePath(QStringLiteral("gnumeric.xls")))};
    EXPECT_FALSE(books.libreOffice.sheetData.empty()) << log.toStdString();
    return books;
}

} // namespace orv::chart::test
