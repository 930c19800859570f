#include "chart/BatchChart.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/PlanFile.h"
#include "support/ScriptedServices.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::chart {
namespace {

// `--build-chart OUT --plan FILE` with a saved project that must stay as it is.
class BatchPlan : public ::testing::Test {
public:
    BatchPlan() : engine(scripted.clock, QLocale(QLocale::English, QLocale::UnitedStates))
    {
        scripted.services.spreadsheets = &engine;
        scripted.settings.values = {{"Categories", "Saved"}, {"Tasks", "Kept^0^^^Saved^"}, {"Events", ""}};
        options = *parseBatchOptions({QStringLiteral("orvantis"), QStringLiteral("--build-chart"),
                                      path(QStringLiteral("chart.xlsx")), QStringLiteral("--plan"),
                                      path(QStringLiteral("tasks.csv"))});
    }

    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }
    void put(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    int run()
    {
        QTextStream stream(&errors);
        return runBatchChart(options, scripted.services, stream);
    }

    orv::test::ScriptedServices scripted;
    EngineApplicationFactory engine;
    QTemporaryDir folder;
    BatchOptions options;
    QString errors;
};

// The scale: --scale first, then the one of a chart given to --plan, then
// the one the settings keep.
TEST_F(BatchPlan, TakesTheScaleFromTheOptionThePlanChartOrTheSettings)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    put(QStringLiteral("tasks.csv"), "Task,% Compl.,Start,End,Category\nSketch,50,1/6/2027,3/20/2028,Design\n");
    scripted.settings.values.insert("CalendarScale", "months");
    ASSERT_EQ(run(), 0) << errors.toStdString();
    EXPECT_EQ(readPlanFile(options.workbookPath, us).scale, CalendarScale::Months);

    options = *parseBatchOptions({QStringLiteral("orvantis"), QStringLiteral("--build-chart"),
                                  path(QStringLiteral("weeks.xls")), QStringLiteral("--plan"),
                                  path(QStringLiteral("tasks.csv")), QStringLiteral("--scale"), QStringLiteral("weeks")});
    ASSERT_EQ(run(), 0) << errors.toStdString();
    EXPECT_EQ(readPlanFile(options.workbookPath, us).scale, CalendarScale::Weeks);

    options.planPath = options.workbookPath;
    options.workbookPath = path(QStringLiteral("again.xls"));
    options.scale.reset();
    ASSERT_EQ(run(), 0) << errors.toStdString();
    EXPECT_EQ(readPlanFile(options.workbookPath, us).scale, CalendarScale::Weeks);
}

TEST_F(BatchPlan, ChartsTheTaskListAndLeavesTheSavedProjectAlone)
{
    const auto saved = scripted.settings.values;
    put(QStringLiteral("tasks.csv"), "Task,% Compl.,Start,End,Category,Sub Task\nSketch,50,3/1/2030,3/9/2030,Design\n"
                                     "Detail,0,3/2/2030,3/3/2030,Design,V\nLay,,3/10/2030,3/20/2030,Build\n");
    ASSERT_EQ(run(), 0) << errors.toStdString();
    EXPECT_EQ(scripted.settings.values, saved);
    const PlanFromFile chart = readPlanFile(options.workbookPath, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(chart.lists.categories, (std::vector<QStringList>{{"Design"}, {"Build"}}));
    EXPECT_EQ(chart.lists.tasks, (std::vector<QStringList>{{"Sketch", "50", "3/1/2030", "3/9/2030", "Design", ""},
                                                           {"Detail", "0", "3/2/2030", "3/3/2030", "Design", "V"},
                                                           {"Lay", "0", "3/10/2030", "3/20/2030", "Build", ""}}));
}

TEST_F(BatchPlan, AFileThatIsNoPlanLeavesTheOutputAsItWas)
{
    put(QStringLiteral("chart.xlsx"), "old");
    put(QStringLiteral("tasks.csv"), QByteArray("\x00\x01\x02garbage", 10));
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("tasks.csv"))) << errors.toStdString();
    EXPECT_EQ(orv::test::fileContents(options.workbookPath), "old");
}

} // namespace
} // namespace orv::chart
