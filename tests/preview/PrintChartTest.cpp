// "Print..." and "Export PDF..." as a user reaches them: the shortcuts and
// the buttons, with the dialogs scripted.
#include "PreviewFixture.h"
#include "chart/CustomResource.h"
#include "support/TestFiles.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace orv::preview::test {
namespace {

using orv::test::fileContents;

int pdfPages(const QByteArray &pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

// The chart template itself is a chart workbook: four landscape pages.
class PrintChart : public PreviewTest {
protected:
    void SetUp() override
    {
        workbook = writeFile(tempPath(QStringLiteral("kdrave45678912.xls")), chart::loadCustomResource(101));
        handOver(chartPicture(300, 200), workbook);
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }

    QString target(const QString &name) const { return QDir(targets.path()).filePath(name); }

    QTemporaryDir targets;
    QString workbook;
};

TEST_F(PrintChart, CtrlShiftEExportsEveryPageAndAsksBeforeReplacing)
{
    s.saveDialog.answerNext(target(QStringLiteral("plan")));
    QTest::keyClick(&form(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.saveDialog.titles, QStringList{QStringLiteral("Export PDF")});
    const QByteArray pdf = fileContents(target(QStringLiteral("plan.pdf")));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdfPages(pdf), 4);
    EXPECT_TRUE(s.messages.shown.empty());

    s.saveDialog.answerNext(target(QStringLiteral("plan.pdf")));
    s.messages.answerNext(MessageAnswer::No);
    writeFile(target(QStringLiteral("plan.pdf")), "kept");
    form().ExportPdfButton->click();
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_EQ(s.messages.shown[0].text,
              QStringLiteral("Are you sure you wish to overwrite ") + target(QStringLiteral("plan.pdf")) + " ?");
    EXPECT_EQ(fileContents(target(QStringLiteral("plan.pdf"))), "kept");
}

// A failed export says why and leaves the file that stood at the name.
TEST_F(PrintChart, FailedExportReportsAndKeepsTheOldFile)
{
    writeFile(target(QStringLiteral("plan.pdf")), "kept");
    writeFile(workbook, "not a workbook");
    s.saveDialog.answerNext(target(QStringLiteral("plan.pdf")));
    form().ExportPdfButton->click();
    ASSERT_EQ(errorReports().size(), 1u);
    EXPECT_TRUE(errorReports()[0].text.contains(QStringLiteral("Form2.ExportPdf")));
    EXPECT_EQ(fileContents(target(QStringLiteral("plan.pdf"))), "kept");
    EXPECT_EQ(QDir(targets.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("plan.pdf")});
}

TEST_F(PrintChart, CtrlPPrintsThePagesTheDialogChose)
{
    s.printDialog.answerNext(target(QStringLiteral("printed.pdf")), 2, 3);
    QTest::keyClick(&form(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(s.printDialog.pageCounts, std::vector<int>{4});
    ASSERT_EQ(s.printDialog.papersShown.size(), 1u);
    EXPECT_EQ(s.printDialog.papersShown[0].pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(s.printDialog.papersShown[0].orientation(), QPageLayout::Landscape);
    EXPECT_EQ(pdfPages(fileContents(target(QStringLiteral("printed.pdf")))), 2);

    form().PrintButton->click(); // cancelled: nothing printed, nothing said
    EXPECT_EQ(s.printDialog.pageCounts, (std::vector<int>{4, 4}));
    EXPECT_TRUE(s.messages.shown.empty());
}

// The document (and the file the print dialog offers) is named after the
// saved chart, or after what it is and the day before it is saved.
TEST_F(PrintChart, TheDocumentIsNamedAfterTheSavedChartOrTheDay)
{
    form().PrintButton->click();
    s.saveDialog.answerNext(target(QStringLiteral("Trade fair plan.xls")));
    QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&form(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(s.printDialog.documentNames,
              (QStringList{QStringLiteral("Gantt chart 2024-03-15"), QStringLiteral("Trade fair plan")}));
    EXPECT_EQ(s.messages.shownTexts(), QStringList{QStringLiteral("Done.")});
}

} // namespace
} // namespace orv::preview::test
