// Our PDF of a chart read by poppler, and the page breaks checked against
// LibreOffice printing the same workbook.
#include "ChartBuilderFixture.h"
#include "chart/ChartPages.h"
#include "chart/XlsxExport.h"
#include "chart/template/TemplateColors.h"
#include "sheet/OracleFiles.h"
#include "sheet/render/PrintedSheet.h"
#include "PdfPages.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <set>
#include <gtest/gtest.h>

namespace orv::chart::test {
namespace {

QString pdfinfoField(const QString &info, const QString &field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

// The sample's shape with `tasks` tasks named "Job 001" and so on, from
// around `today` for a month: another application recalculates the chart
// with its own today.
ProjectLists project(int tasks, QDate today)
{
    const auto date = [&](int days) { return today.addDays(days).toString(QStringLiteral("M/d/yyyy")); };
    ProjectLists lists;
    lists.categories = {{QStringLiteral("Research")}, {QStringLiteral("Development")}};
    lists.events = {{QStringLiteral("General meeting"), date(2), date(2)}};
    for (int t = 0; t < tasks; ++t) {
        const int day = t % 28 - 10;
        lists.tasks.push_back({QStringLiteral("Job %1").arg(t + 1, 3, 10, QLatin1Char('0')), QString::number(t * 7 % 101),
                               date(day), date(day + 31), t % 2 ? QStringLiteral("Development") : QStringLiteral("Research"),
                               t % 4 == 3 ? QStringLiteral("V") : QString()});
    }
    return lists;
}

std::vector<int> jsonInts(const QJsonValue &value)
{
    std::vector<int> numbers;
    for (const QJsonValue &number : value.toArray())
        numbers.push_back(number.toInt());
    return numbers;
}

class PrintPdfOracle : public ChartBuilderTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        scripted.clock.at = QDateTime::currentDateTime();
        lists = project(GetParam(), scripted.clock.at.date());
        builder.PushButton6_Click();
        ASSERT_TRUE(scripted.messages.shown.empty());
        ASSERT_TRUE(out.isValid());
        pdf = out.filePath(QStringLiteral("chart.pdf"));
        exportChartPdf(preview.excelFile, pdf, scripted.clock);
        ChartPages chart(preview.excelFile, scripted.clock);
        workbook = sheet::xls::openWorkbook(preview.excelFile);
        pages = chart.printedOn(chart.paper())->pages();
    }

    QTemporaryDir out;
    QString pdf;
    sheet::Workbook workbook;
    std::vector<sheet::PrintedPage> pages;
};

TEST_P(PrintPdfOracle, PopplerReadsLandscapePagesWithNamesDatesAndFooter)
{
    const QString info = outputOf(QStringLiteral("pdfinfo"), {pdf});
    const int count = int(pages.size());
    EXPECT_EQ(pdfinfoField(info, QStringLiteral("Pages")).toInt(), count);
    EXPECT_EQ(pdfinfoField(info, QStringLiteral("Page size")), QStringLiteral("792 x 612 pts (letter)"));
    const QString fonts = outputOf(QStringLiteral("pdffonts"), {pdf});
    const QRegularExpression notEmbedded(QStringLiteral("\\sno\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"),
                                         QRegularExpression::MultilineOption);
    EXPECT_FALSE(fonts.contains(notEmbedded)) << fonts.toStdString();

    const sheet::Sheet &plan = workbook.sheet(0);
    for (int page = 1; page <= count; ++page) {
        const QString text = outputOf(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                        QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(count))) << "page " << page;
        for (const QString &header : {QStringLiteral("Special Events"), QStringLiteral("% Compl.")})
            EXPECT_TRUE(text.contains(header)) << header.toStdString() << " on page " << page;
        for (int row = pages[page - 1].body.firstRow; row <= pages[page - 1].body.lastRow; ++row) {
            for (int column : {1, 2}) {
                const sheet::Cell *cell = plan.cell({row, column});
                const QString *name = cell ? std::get_if<QString>(&cell->value) : nullptr;
                if (name == nullptr || !name->startsWith(QStringLiteral("Job ")))
                    continue;
                EXPECT_TRUE(text.contains(*name)) << name->toStdString() << " on page " << page;
            }
        }
    }
}

// LibreOffice measures columns wider than the format's application (a
// 2-character column is 15 pt there, 14.25 pt here), so its column breaks
// are checked against the same breaking rule applied to its own widths; with
// either width a chart takes four columns of pages. It also gives the body
// the bottom margin's room that the footer leaves free (the format's
// application keeps the whole margin), so its rows are compared only where
// they all fit on one page: the sample's page count is the same.
TEST_P(PrintPdfOracle, LibreOfficeBreaksThePagesAlike)
{
    const QString copy = out.filePath(QStringLiteral("chart.xls"));
    ASSERT_TRUE(QFile::copy(preview.excelFile, copy));
    const QString theirs = out.filePath(QStringLiteral("libreoffice.pdf"));
    const QString script = QStringLiteral(ORVANTIS_SOURCE_DIR "/tests/chart/libreoffice_pages.py");
    const QString printed = outputOf(QStringLiteral("/usr/bin/python3"), {script, copy, out.filePath("profile"), theirs});
    const QJsonObject lo = QJsonDocument::fromJson(printed.trimmed().split(u'\n').last().toUtf8()).object();
    std::set<int> columnBreaks;
    for (const sheet::PrintedPage &page : pages)
        columnBreaks.insert(page.body.firstColumn);

    std::vector<double> widths;
    for (int width : jsonInts(lo[QStringLiteral("columnWidths")]))
        widths.push_back(width);
    const double room = lo[QStringLiteral("printableWidth")].toDouble() * 100 / lo[QStringLiteral("scale")].toDouble() -
                        lo[QStringLiteral("titleWidth")].toDouble();
    std::vector<int> ruled;
    for (const sheet::Strip &strip : sheet::breakIntoStrips(widths, pages.front().body.firstColumn, [&](int) { return room; }))
        ruled.push_back(strip.first);
    ruled.erase(ruled.begin());
    EXPECT_EQ(jsonInts(lo[QStringLiteral("columnBreaks")]), ruled);
    EXPECT_EQ(ruled.size() + 1, columnBreaks.size());
    if (pages.size() == columnBreaks.size()) {
        EXPECT_EQ(pdfinfoField(outputOf(QStringLiteral("pdfinfo"), {theirs}), QStringLiteral("Pages")).toInt(),
                  int(pages.size()));
    }
}


// Other applications print the chart workbook as it stands, .xls and
// .xlsx, with their own default settings: every page with the calendar's
// fills, and the bars in colour. LibreOffice prints as many pages as ours,
// within a tenth; Gnumeric leaves out the repeated title rows and columns,
// so that more of the calendar fits a page, and prints fewer.
TEST_P(PrintPdfOracle, OtherApplicationsPrintEveryPageWithItsFills)
{
    QFile chart(preview.excelFile);
    ASSERT_TRUE(chart.open(QIODevice::ReadOnly));
    const QByteArray xls = chart.readAll();
    const std::pair<QString, QByteArray> workbooks[] = {{QStringLiteral("chart.xls"), xls},
                                                        {QStringLiteral("chart.xlsx"), chartWorkbookAsXlsx(xls, out.path())}};
    const QString profile = QUrl::fromLocalFile(out.filePath(QStringLiteral("profile"))).toString();
    for (const auto &[name, bytes] : workbooks) {
        const QString workbook = out.filePath(name);
        QFile file(workbook);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const QString folder = out.filePath(name + QStringLiteral(".printed"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString libreOffice = folder + QStringLiteral("/chart.pdf"), gnumeric = folder + QStringLiteral("/gnumeric.pdf");
        outputOf(QStringLiteral("soffice"), {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + profile,
                                             QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                                             folder, workbook});
        outputOf(QStringLiteral("ssconvert"), {QStringLiteral("-T"), QStringLiteral("Gnumeric_pdf:pdf_assistant"), workbook, gnumeric});
        for (const QString &pdf : {libreOffice, gnumeric}) {
            const std::string what = (name + QStringLiteral(" printed to ") + QFileInfo(pdf).fileName()).toStdString();
            const int count = pdfinfoField(outputOf(QStringLiteral("pdfinfo"), {pdf}), QStringLiteral("Pages")).toInt();
            if (pdf == libreOffice)
                EXPECT_NEAR(count, double(pages.size()), pages.size() * 0.1) << what;
            else
                EXPECT_TRUE(count > 0 && count <= int(pages.size())) << what << ": " << count << " pages";
            const QString prefix = pdf.chopped(4);
            outputOf(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("24"), QStringLiteral("-png"), pdf, prefix});
            int bars = 0;
            for (int page = 1; page <= count; ++page) {
                const QString picture = QStringLiteral("%1-%2.png").arg(prefix).arg(
                    page, int(QString::number(count).size()), 10, QLatin1Char('0'));
                const QImage image(picture);
                ASSERT_FALSE(image.isNull()) << picture.toStdString();
                EXPECT_GT(pixelsOf(image, {colors::Gray25, colors::LightYellow}), 0) << what << ", page " << page;
                bars += pixelsOf(image, {colors::Aqua, colors::Lavender});
            }
            EXPECT_GT(bars, 0) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, PrintPdfOracle, ::testing::Values(2, 200),
                         [](const auto &info) { return "Tasks" + std::to_string(info.param); });

} // namespace
} // namespace orv::chart::test
