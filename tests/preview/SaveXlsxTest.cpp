#include "PreviewFixture.h"

#include "sheet/model/Workbook.h"
#include "sheet/xls/XlsFile.h"
#include "support/TestFiles.h"

#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>

namespace orv::preview::test {
namespace {

using orv::test::fileContents;

QByteArray zipEntry(const QString &archive, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, entry});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

// Saving the chart workbook as .xlsx from the preview: by the name's
// extension or by the filter, with the same question, report and "Done." as
// the byte copy.
class PreviewSaveXlsx : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        sheet::Workbook chart;
        chart.addSheet(QStringLiteral("Project Plan")).cellAt({1, 1}).value = QStringLiteral("Special Events");
        workbook = tempPath(QStringLiteral("kdrave45678912.xls"));
        sheet::xls::saveWorkbookAs(chart, workbook, sheet::xls::kFileFormatExcel8);
        handOver(chartPicture(300, 200), workbook);
    }

    QString target(const QString &name) const { return QDir(targets.path()).filePath(name); }

    void save(const QString &answer, int filter = 0)
    {
        s.saveDialog.answerNext(answer, filter);
        form().PushButton6->click();
    }

    static bool isChartXlsx(const QString &path)
    {
        return fileContents(path).startsWith("PK\x03\x04")
               && zipEntry(path, QStringLiteral("xl/workbook.xml")).contains("name=\"Project Plan\"")
               && zipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml")).contains("<t>Special Events</t>");
    }

    QStringList shownTexts() const { return s.messages.shownTexts(); }

    QString workbook;
    QTemporaryDir targets;
};

struct XlsxChoice {
    const char *name;
    int filter;
};

class PreviewXlsxChoice : public PreviewSaveXlsx, public ::testing::WithParamInterface<XlsxChoice> {};

TEST_P(PreviewXlsxChoice, SavesAnXlsxUnderTheNameAsTyped)
{
    const QString name = target(QString::fromLatin1(GetParam().name));
    save(name, GetParam().filter);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_TRUE(isChartXlsx(name));
    EXPECT_EQ(QDir(targets.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QString::fromLatin1(GetParam().name)});
}

INSTANTIATE_TEST_SUITE_P(Choices, PreviewXlsxChoice,
                         ::testing::Values(XlsxChoice{"plan.xlsx", 0}, XlsxChoice{"PLAN.XLSX", 0},
                                           XlsxChoice{"plan", 1}, XlsxChoice{"plan.xls", 1}),
                         [](const auto &info) { return std::to_string(info.index); });

TEST_F(PreviewSaveXlsx, TheXlsFilterWithAnXlsNameStaysAByteCopy)
{
    save(target(QStringLiteral("plan.xls")), 0);
    EXPECT_EQ(fileContents(target(QStringLiteral("plan.xls"))), fileContents(workbook));
}

TEST_F(PreviewSaveXlsx, AnExistingFileIsReplacedAfterYes)
{
    const QString existing = writeFile(target(QStringLiteral("chart.xlsx")), "old plan");
    save(existing);
    EXPECT_EQ(shownTexts(), (QStringList{QStringLiteral("Are you sure you wish to overwrite ") + existing
                                             + QStringLiteral(" ?"),
                                         QStringLiteral("Done.")}));
    EXPECT_TRUE(isChartXlsx(existing));
}

TEST_F(PreviewSaveXlsx, AFolderThatCannotBeWrittenKeepsTheOldFileAndEndsWithTheReport)
{
    const QString existing = writeFile(target(QStringLiteral("chart.xlsx")), "old plan");
    whileFolderIsReadOnly(targets.path(), workbook, [&] { save(existing); });
    EXPECT_EQ(fileContents(existing), QByteArray("old plan"));
    ASSERT_EQ(s.messages.shown.size(), 2u); // the question, then the report
    // The package is put together in the temporary folder, closed to this user here.
    EXPECT_TRUE(s.messages.shown[1].text.startsWith(QStringLiteral("Cannot save ") + existing));
    EXPECT_TRUE(s.messages.shown[1].text.contains(QStringLiteral("PushButton6_Click at line 130")));
}

TEST_F(PreviewSaveXlsx, AWorkbookAlreadyGoneIsReportedAndNothingIsWritten)
{
    QFile::remove(workbook);
    save(target(QStringLiteral("plan.xlsx")));
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_TRUE(s.messages.shown[0].text.startsWith(QStringLiteral("File not found: ") + workbook));
    EXPECT_TRUE(s.messages.shown[0].text.contains(QStringLiteral("PushButton6_Click at line 130")));
    EXPECT_TRUE(QDir(targets.path()).isEmpty());
}

} // namespace
} // namespace orv::preview::test
