// The week and month charts of a 15-month plan opened by LibreOffice and
// Gnumeric: both compute the same calendar (the period dates in row 6 and
// the month or year labels in row 4) and the same deliverable dates as our
// engine cached, and LibreOffice fills the .xlsx's bars as our pages do.

#include "ChartBuilderFixture.h"
#include "PdfPages.h"
#include "Recalculated.h"

#include "chart/ChartPages.h"
#include "chart/XlsxExport.h"
#include "chart/template/ChartLayout.h"
#include "chart/template/TemplateColors.h"
#include "sheet/OracleFiles.h"
#include "sheet/formula/FormulaPrinter.h"

#include <QStandardPaths>
#include <QTemporaryDir>

namespace orv::chart::test {
namespace {


struct ScaleCase {
    CalendarScale scale;
    int columns;
};

class ScaledChartInOtherApplications : public ChartBuilderTest, public ::testing::WithParamInterface<ScaleCase> {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
            GTEST_SKIP() << "LibreOffice or Gnumeric is not installed";
        lists.categories = {{"Research"}, {"Development"}};
        lists.tasks = {{"Interviews", "80", "1/6/2027", "2/20/2027", "Research", ""},
                       {"Prototype", "10", "5/15/2027", "11/1/2027", "Development", ""},
                       {"Beta", "", "2/2/2028", "3/31/2028", "Development", "V"}};
        lists.events = {{"Kick-off", "1/10/2027", "1/10/2027"}};
        const CalendarScale scale = GetParam().scale;
        ChartBuilder scaled({scripted.services, lists, window, preview, [] { return loadCustomResource(101); },
                             [scale] { return scale; }},
                            kSeed);
        scaled.PushButton6_Click();
        ASSERT_TRUE(scripted.messages.shown.empty());
    }

    QTemporaryDir dir;
};

TEST_P(ScaledChartInOtherApplications, ComputeTheSameCalendar)
{
    const sheet::Workbook chart = sheet::xls::openWorkbook(preview.excelFile);
    const auto [libreOffice, gnumeric] = recalculatedElsewhere(preview.excelFile, dir);
    ASSERT_FALSE(libreOffice.sheetData.empty());

    const auto expectSame = [&](int row, int column) {
        const QString ref = sheet::columnName(column - 1) + QString::number(row);
        const sheet::Value ours = valueAt(chart, row, column);
        const QString theirs = libreOffice.sheetData[0].cells.value(ref).value;
        if (const double *number = std::get_if<double>(&ours))
            EXPECT_NEAR(theirs.toDouble(), *number, 1e-9) << "LibreOffice " << ref.toStdString();
        else
            EXPECT_TRUE(theirs.isEmpty()) << "LibreOffice " << ref.toStdString() << " " << theirs.toStdString();
        EXPECT_EQ(valueAt(gnumeric, row, column), ours) << "Gnumeric " << ref.toStdString();
    };
    const int first = layout::kFirstDayColumn;
    ASSERT_TRUE(std::holds_alternative<double>(valueAt(chart, layout::kDateRow, first + GetParam().columns - 1)));
    for (int column = first; column < first + GetParam().columns; ++column) {
        expectSame(layout::kDateRow, column);
        expectSame(layout::kMonthRow, column);
    }
    for (int row : {10, 14})
        for (int column : {layout::kStartColumn, layout::kEndColumn})
            expectSame(row, column);
}

// Each look of the bars, the deliverables and the event covers as much of
// LibreOffice's pages of the .xlsx as of ours, give or take its wider
// columns and its own borders.
TEST_P(ScaledChartInOtherApplications, LibreOfficeFillsTheBarsAsOurPagesDo)
{
    const QString ours = dir.filePath(QStringLiteral("ours.pdf"));
    exportChartPdf(preview.excelFile, ours, scripted.clock);
    QFile xls(preview.excelFile);
    ASSERT_TRUE(xls.open(QIODevice::ReadOnly));
    QFile xlsx(dir.filePath(QStringLiteral("theirs.xlsx")));
    ASSERT_TRUE(xlsx.open(QIODevice::WriteOnly));
    xlsx.write(chartWorkbookAsXlsx(xls.readAll(), dir.path()));
    xlsx.close();
    outputOf(QStringLiteral("soffice"),
             {QStringLiteral("-env:UserInstallation=file://") + dir.path() + QStringLiteral("/profile"),
              QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
              QStringLiteral("--outdir"), dir.path(), xlsx.fileName()});
    const std::vector<QImage> ourPages = pdfPages(ours, 96);
    const std::vector<QImage> theirPages = pdfPages(dir.filePath(QStringLiteral("theirs.pdf")), 96);
    EXPECT_NEAR(double(theirPages.size()), double(ourPages.size()), ourPages.size() * 0.1);
    const auto pixels = [](const std::vector<QImage> &pages, sheet::Color look) {
        int count = 0;
        for (const QImage &page : pages)
            count += pixelsOf(page, {look});
        return count;
    };
    for (const sheet::Color look : {colors::Aqua, colors::Lavender, colors::LightYellow, colors::BrightGreen,
                                    colors::LightGreen}) {
        const int mine = pixels(ourPages, look);
        const int libreOffice = pixels(theirPages, look);
        EXPECT_GT(mine, 0) << std::hex << look.rgb;
        EXPECT_NEAR(libreOffice, mine, mine * 0.2) << std::hex << look.rgb;
    }
}

// Monday 4 January 2027 to the week of 31 March 2028; January 2027 to March 2028.
INSTANTIATE_TEST_SUITE_P(FifteenMonths, ScaledChartInOtherApplications,
                         ::testing::Values(ScaleCase{CalendarScale::Weeks, 65}, ScaleCase{CalendarScale::Months, 15}),
                         [](const auto &info) { return scaleName(info.param.scale).toStdString(); });

} // namespace
} // namespace orv::chart::test
