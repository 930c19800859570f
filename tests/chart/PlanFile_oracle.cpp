// Charts saved again by LibreOffice and Gnumeric, as a user's spreadsheet
// application would, still give back their plan.

#include "ChartBuilderFixture.h"
#include "chart/PlanFile.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orv::chart::test {
namespace {

struct Resave {
    const char *name;
    QString program;
    QStringList (*arguments)(const QString &work, const QString &chart);
    const char *result; // the file name the program writes in `work`
};

void PrintTo(const Resave &r, std::ostream *out) { *out << r.name; }

QStringList libreOffice(const QString &work, const QString &chart, const QString &format)
{
    return {"-env:UserInstallation=file://" + work + "/profile", "--headless", "--convert-to", format, "--outdir",
            work + "/out", chart};
}

class ResavedChart : public ChartBuilderTest, public ::testing::WithParamInterface<Resave> {};

TEST_P(ResavedChart, GivesBackThePlan)
{
    if (QStandardPaths::findExecutable(GetParam().program).isEmpty())
        GTEST_SKIP() << GetParam().program.toStdString() << " is not installed";
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    lists.categories = {{"Research"}, {"Launch"}};
    lists.tasks = {{"Interviews", "80", "2/20/2030", "3/20/2030", "Research", ""},
                   {"Survey, part 2", "12.5", "3/1/2030", "3/9/2030", "Research", "V"},
                   {"Release", "0", "4/1/2030", "4/2/2030", "Launch", ""}};
    lists.events = {{"Kick-off", "2/19/2030", "2/19/2030"}};
    builder.PushButton6_Click();
    QTemporaryDir work;
    const QString chart = work.filePath(QStringLiteral("chart.xls"));
    ASSERT_TRUE(QFile::copy(preview.excelFile, chart));
    QProcess program;
    program.start(GetParam().program, GetParam().arguments(work.path(), chart));
    ASSERT_TRUE(program.waitForFinished(300000));
    const QString resaved = work.filePath(QLatin1String(GetParam().result));
    ASSERT_TRUE(QFile::exists(resaved)) << program.readAllStandardError().toStdString();
    const PlanFromFile read = readPlanFile(resaved, american);
    EXPECT_EQ(read.lists.categories, lists.categories);
    EXPECT_EQ(read.lists.tasks, lists.tasks);
    EXPECT_EQ(read.lists.events, lists.events);
}

INSTANTIATE_TEST_SUITE_P(
    Applications, ResavedChart,
    ::testing::Values(
        Resave{"LibreOfficeXlsx", "soffice",
               [](const QString &work, const QString &chart) { return libreOffice(work, chart, "xlsx"); },
               "out/chart.xlsx"},
        Resave{"LibreOfficeXls", "soffice",
               [](const QString &work, const QString &chart) { return libreOffice(work, chart, "xls"); },
               "out/chart.xls"},
        Resave{"GnumericXlsx", "ssconvert",
               [](const QString &work, const QString &chart) {
                   return QStringList{chart, work + "/gnumeric.xlsx"};
               },
               "gnumeric.xlsx"}));

} // namespace
} // namespace orv::chart::test
