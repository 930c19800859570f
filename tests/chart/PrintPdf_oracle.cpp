// Our PDF of a chart read by poppler, and the page breaks checked against
// LibreOffice printing the same workbook.
#include "ChartBuilderFixture.h"
#include "chart/ChartPages.h"
#include "sheet/OracleFiles.h"
#include "sheet/render/PrintedSheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <set>
#include <gtest/gtest.h>

namespace orv::chart::test {
namespace {

// The output of a program that must succeed.
QString outputOf(const QString &program, const QStringList &arguments)
{
    QString output;
    EXPECT_EQ(sheet::xls::testing::runProgram(program, arguments, &output, 600000), 0) << output.toStdString();
    return output;
}

QString pdfinfoField(const QString &info, const QString &field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

// The sample's two tasks, or the sample's shape with `tasks` tasks named
// "Job 001" and so on, starting in August and ending in September.
ProjectLists project(int tasks)
{
    ProjectLists lists;
    lists.categories = {{QStringLiteral("Research")}, {QStringLiteral("Development")}};
    lists.events = {{QStringLiteral("General meeting"), QStringLiteral("8/12/2016"), QStringLiteral("8/12/2016")}};
    for (int t = 0; t < tasks; ++t) {
        const int day = 1 + t % 28;
        lists.tasks.push_back({QStringLiteral("Job %1").arg(t + 1, 3, 10, QLatin1Char('0')), QString::number(t * 7 % 101),
                               QStringLiteral("8/%1/2016").arg(day), QStringLiteral("9/%1/2016").arg(day),
                               t % 2 ? QStringLiteral("Development") : QStringLiteral("Research"),
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
        lists = project(GetParam());
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

INSTANTIATE_TEST_SUITE_P(Charts, PrintPdfOracle, ::testing::Values(2, 200),
                         [](const auto &info) { return "Tasks" + std::to_string(info.param); });

} // namespace
} // namespace orv::chart::test
