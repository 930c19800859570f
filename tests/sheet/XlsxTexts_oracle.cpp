// Texts that XML cannot carry as they are, through LibreOffice and back:
// our .xlsx, saved again by LibreOffice, read by our reader.
#include "OracleFiles.h"
#include "QStringPrinter.h"
#include "sheet/xlsx/XlsxReader.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::sheet::xlsx {
namespace {

TEST(XlsxTextsThroughLibreOffice, ComeBackAsTheyWere)
{
    const QStringList names = {QStringLiteral("Trade fair\uFFFE"), QStringLiteral("bell\x07 rings"),
                               QStringLiteral("looks escaped: _x0041_")};
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Plan"));
    for (int row = 0; row < names.size(); ++row)
        sheet.setCell({row, 0}, Cell{names[row], nullptr, 0});
    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("names.xlsx"));
    saveWorkbookAsXlsx(book, ours, folder.path());

    const QString resaved = folder.filePath(QStringLiteral("resaved"));
    QString log;
    xls::testing::runProgram(QStringLiteral("soffice"),
                             {QStringLiteral("-env:UserInstallation=file://") + folder.filePath(QStringLiteral("profile")),
                              QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                              QStringLiteral("--outdir"), resaved, ours},
                             &log, 120000);
    QFile file(resaved + QStringLiteral("/names.xlsx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << log.toStdString();
    const Workbook back = readXlsxValues(file.readAll());
    for (int row = 0; row < names.size(); ++row) {
        const Cell *cell = back.sheet(0).cell({row, 0});
        ASSERT_NE(cell, nullptr) << "row " << row;
        EXPECT_EQ(std::get<QString>(cell->value), names[row]);
    }
}

} // namespace
} // namespace orv::sheet::xlsx
