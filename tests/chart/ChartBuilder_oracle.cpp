#include "ChartBuilderFixture.h"
#include "Recalculated.h"

#include "sheet/OracleFiles.h"
#include "sheet/formula/FormulaPrinter.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace orv::chart::test {
namespace {

using sheet::xls::testing::XlsxSheet;

QString a1(int row, int column) { return sheet::columnName(column - 1) + QString::number(row); }

// The same cell as our engine holds it and as another application wrote it
// into an .xlsx file: texts compare as texts, numbers to within rounding.
void expectSameCell(const sheet::Workbook &ours, const XlsxSheet &theirs, int row, int column, const char *who)
{
    const sheet::Value value = valueAt(ours, row, column);
    const QString ref = a1(row, column);
    const sheet::xls::testing::XlsxCell cell = theirs.cells.value(ref);
    if (const QString *text = std::get_if<QString>(&value)) {
        EXPECT_EQ(cell.value, *text) << who << " " << ref.toStdString();
    } else if (const double *number = std::get_if<double>(&value)) {
        EXPECT_NEAR(cell.value.toDouble(), *number, 1e-9) << who << " " << ref.toStdString();
    } else {
        EXPECT_TRUE(cell.value.isEmpty()) << who << " " << ref.toStdString() << " " << cell.value.toStdString();
    }
}

// A three-category project built by "Create Template!", opened in
// LibreOffice and Gnumeric: both must see the same task cells and compute
// the same calendar. The dates lie in the future, so the calendar starts at
// the earliest of them whatever the day the test runs.
class ChartInOtherApplications : public ChartBuilderTest {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
            GTEST_SKIP() << "LibreOffice or Gnumeric is not installed";
        scripted.clock.at = QDateTime::currentDateTime();
        lists.categories = {{QStringLiteral("Research")}, {QStringLiteral("Development")}, {QStringLiteral("Launch")}};
        lists.tasks = {
            {"Interviews", "80", "1/5/2030", "1/20/2030", "Research", ""},
            {"Prototype", "10", "1/15/2030", "3/1/2030", "Development", ""},
            {"Survey", "50.5", "1/8/2030", "1/12/2030", "Research", "V"},
            {"Beta", "", "3/2/2030", "3/30/2030", "Development", ""},
            {"Release notes", "0", "4/1/2030", "4/3/2030", "Launch", ""},
        };
        lists.events = {{"Kick-off", "1/7/2030", "1/7/2030"}};
        chart = build();
        ASSERT_TRUE(scripted.messages.shown.empty());

        Recalculated books = recalculatedElsewhere(preview.excelFile, dir);
        libreOffice = std::move(books.libreOffice);
        gnumeric = std::move(books.gnumeric);
    }

    QTemporaryDir dir;
    sheet::Workbook chart;
    sheet::xls::testing::XlsxBook libreOffice;
    sheet::Workbook gnumeric;
};

// One test, as each conversion starts the applications anew.
TEST_F(ChartInOtherApplications, SeeTheSameTaskCellsAndComputeTheSameCalendar)
{
    const int lastRow = chart.sheet(0).usedRange()->lastRow + 1;
    ASSERT_EQ(lastRow, 22);
    for (int row = 3; row <= lastRow; ++row)
        for (int column = 1; column <= 6; ++column) {
            if (row >= 10 && (column == 4 || column == 5) && valueAt(chart, row, 1) != sheet::Value{})
                continue; // deliverable dates are formulas, compared below with the calendar
            expectSameCell(chart, libreOffice.sheetData[0], row, column, "LibreOffice");
            EXPECT_EQ(valueAt(gnumeric, row, column), valueAt(chart, row, column)) << "Gnumeric " << row << "," << column;
        }
    for (int column = 8; column <= 8 + 195; ++column) {
        expectSameCell(chart, libreOffice.sheetData[0], 6, column, "LibreOffice");
        EXPECT_EQ(valueAt(gnumeric, 6, column), valueAt(chart, 6, column)) << "Gnumeric column " << column;
    }
    for (int row : {10, 15, 20})
        for (int column : {4, 5}) {
            expectSameCell(chart, libreOffice.sheetData[0], row, column, "LibreOffice");
            EXPECT_EQ(valueAt(gnumeric, row, column), valueAt(chart, row, column)) << "Gnumeric " << row << "," << column;
        }
}

} // namespace
} // namespace orv::chart::test
