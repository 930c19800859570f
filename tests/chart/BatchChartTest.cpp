#include "chart/BatchChart.h"
#include "chart/EngineApplicationFactory.h"
#include "sheet/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/SheetPicture.h"
#include "sheet/xls/XlsFile.h"
#include "support/ScriptedServices.h"

#include <QDir>
#include <gtest/gtest.h>

namespace orv::chart {
namespace {

TEST(BatchOptionsTest, WindowsStartWithoutTheOption)
{
    EXPECT_FALSE(parseBatchOptions({"orvantis"}).has_value());
}

TEST(BatchOptionsTest, PathsAreTakenAsGiven)
{
    const auto options = parseBatchOptions({"orvantis", "--build-chart", "out.xls", "--picture", "p.png"});
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->workbookPath, QStringLiteral("out.xls"));
    EXPECT_EQ(options->picturePath, QStringLiteral("p.png"));
    EXPECT_EQ(parseBatchOptions({"orvantis", "--build-chart", "x"})->picturePath, QString());
}

TEST(BatchOptionsTest, MissingPathsAndUnknownOptionsAreRefused)
{
    EXPECT_THROW(parseBatchOptions({"orvantis", "--build-chart"}), Failure);
    EXPECT_THROW(parseBatchOptions({"orvantis", "--build-chart", "--picture", "p.png"}), Failure);
    EXPECT_THROW(parseBatchOptions({"orvantis", "--build-chart", "x.xls", "--zoom", "2"}), Failure);
}

class BatchRun : public ::testing::Test {
protected:
    BatchRun() : engine(scripted.clock, QLocale(QLocale::English, QLocale::UnitedStates))
    {
        scripted.services.spreadsheets = &engine;
        options.workbookPath = QDir(out.path()).filePath(QStringLiteral("chart.xls"));
        options.picturePath = QDir(out.path()).filePath(QStringLiteral("chart.png"));
    }

    int run()
    {
        QTextStream stream(&errors);
        return runBatchChart(options, scripted.services, stream);
    }

    test::ScriptedServices scripted;
    EngineApplicationFactory engine;
    QTemporaryDir out;
    BatchOptions options;
    QString errors;
};

TEST_F(BatchRun, TheStoredProjectBecomesAWorkbookAndAPictureAndNothingStaysBehind)
{
    scripted.settings.values = {{"Categories", "Research"},
                                {"Tasks", "Plan^50^8/11/2016^8/24/2016^Research^^surplus"},
                                {"Events", "Meeting^8/12/2016^8/12/2016"}};
    EXPECT_EQ(run(), 0) << errors.toStdString();
    EXPECT_TRUE(errors.isEmpty());
    const sheet::Workbook chart = sheet::xls::openWorkbook(options.workbookPath);
    EXPECT_EQ(chart.sheet(0).cell({9, 0})->value, sheet::Value(QStringLiteral("Research")));
    EXPECT_EQ(chart.sheet(0).cell({10, 1})->value, sheet::Value(QStringLiteral("Plan")));
    EXPECT_EQ(chart.sheet(0).cell({2, 1})->value, sheet::Value(QStringLiteral("Meeting")));
    EXPECT_FALSE(sheet::readPicture(options.picturePath).isNull());
    EXPECT_TRUE(QDir(scripted.folders.tempFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(BatchRun, ReportsGoToTheErrorStreamAndMakeTheExitCodeOne)
{
    options.workbookPath = QDir(out.path()).filePath(QStringLiteral("missing/folder/chart.xls"));
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("\nin Orvantis2021/08/31.Form1.PushButton6_Click at line 258\n\n")))
        << errors.toStdString();
    EXPECT_TRUE(QDir(scripted.folders.tempFolder()).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace orv::chart
