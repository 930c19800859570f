#include "ChartBuilderFixture.h"

#include "app/FileOperations.h"
#include "sheet/DateSerial.h"

#include <QRegularExpression>

namespace orv::chart::test {
namespace {

QStringList task(const char *name, const char *percent, const char *category, bool subTask = false,
                 const char *start = "8/11/2016", const char *end = "8/24/2016")
{
    return {QString::fromUtf8(name), QString::fromUtf8(percent), QString::fromUtf8(start), QString::fromUtf8(end),
            QString::fromUtf8(category), subTask ? QStringLiteral("V") : QString()};
}

double serial(int year, int month, int day) { return *sheet::serialFromDate(QDate(year, month, day)); }

using ChartPlacement = ChartBuilderTest;

TEST_F(ChartPlacement, EmptyListsGiveTheBareTemplateWithoutAnyReport)
{
    const sheet::Workbook chart = build();
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(textAt(chart, 10, 1), QStringLiteral("Project Deliverable 1"));
    EXPECT_EQ(textAt(chart, 11, 2), QString());
    EXPECT_EQ(preview.calls, (QStringList{"picture", "file", "show"}));
    EXPECT_FALSE(preview.picture.isNull());
    EXPECT_TRUE(window.hidden);
    EXPECT_FALSE(builder.busy());
}

TEST_F(ChartPlacement, OnlyTheFirstFiveSpecialEventsArePlaced)
{
    for (int e = 1; e <= 6; ++e)
        lists.events.push_back({QStringLiteral("Event %1").arg(e), QStringLiteral("8/%1/2016").arg(e),
                                QStringLiteral("8/%1/2016").arg(e + 1)});
    const sheet::Workbook chart = build();
    EXPECT_TRUE(scripted.messages.shown.empty());
    for (int e = 1; e <= 5; ++e) {
        EXPECT_EQ(textAt(chart, 2 + e, 2), QStringLiteral("Event %1").arg(e));
        EXPECT_EQ(valueAt(chart, 2 + e, 4), sheet::Value(serial(2016, 8, e)));
        EXPECT_EQ(valueAt(chart, 2 + e, 5), sheet::Value(serial(2016, 8, e + 1)));
    }
    EXPECT_EQ(textAt(chart, 8, 2), QString());
}

TEST_F(ChartPlacement, ThreeTasksOfOneCategoryPushTheSpacerRowsDown)
{
    lists.categories = {{QStringLiteral("Research")}};
    lists.tasks = {task("One", "10", "Research"), task("Two", "20", "Research"), task("Three", "30", "Research")};
    const sheet::Workbook chart = build();
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(textAt(chart, 10, 1), QStringLiteral("Research"));
    EXPECT_EQ(textAt(chart, 11, 2), QStringLiteral("One"));
    EXPECT_EQ(textAt(chart, 12, 2), QStringLiteral("Two"));
    EXPECT_EQ(textAt(chart, 13, 2), QStringLiteral("Three"));
    EXPECT_EQ(valueAt(chart, 13, 6), sheet::Value(0.3));
    EXPECT_DOUBLE_EQ(chart.sheet(0).rowHeight(13), 6.75);
    EXPECT_DOUBLE_EQ(chart.sheet(0).rowHeight(14), 7.5);
}

TEST_F(ChartPlacement, TwoCategoriesGetABlockEach)
{
    lists.categories = {{QStringLiteral("Design")}, {QStringLiteral("Build")}};
    lists.tasks = {task("Sketch", "50", "Design"), task("Lay", "0", "Build"), task("Review", "0", "Design")};
    const sheet::Workbook chart = build();
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(textAt(chart, 10, 1), QStringLiteral("Design"));
    EXPECT_EQ(textAt(chart, 11, 2), QStringLiteral("Sketch"));
    EXPECT_EQ(textAt(chart, 12, 2), QStringLiteral("Review"));
    EXPECT_EQ(textAt(chart, 15, 1), QStringLiteral("Build"));
    EXPECT_EQ(textAt(chart, 16, 2), QStringLiteral("Lay"));
    // The deliverable rows summarise their own tasks.
    const sheet::Cell *start = chart.sheet(0).cell({14, 3});
    ASSERT_TRUE(start && start->hasFormula());
    EXPECT_EQ(start->value, sheet::Value(serial(2016, 8, 11)));
}

TEST_F(ChartPlacement, AMainTaskAfterASubTaskHasItsNameInColumnBOnly)
{
    lists.categories = {{QStringLiteral("Research")}};
    lists.tasks = {task("Detail", "0", "Research", true), task("Main", "0", "Research")};
    const sheet::Workbook chart = build();
    EXPECT_EQ(textAt(chart, 11, 2), QString());
    EXPECT_EQ(textAt(chart, 11, 3), QStringLiteral("Detail"));
    EXPECT_EQ(textAt(chart, 12, 2), QStringLiteral("Main"));
    EXPECT_EQ(textAt(chart, 12, 3), QString());
}

TEST_F(ChartPlacement, CategoriesMatchCaseSensitivelyAndATwiceListedOneGetsItsTasksTwice)
{
    lists.categories = {{QStringLiteral("Research")}, {QStringLiteral("Research")}};
    lists.tasks = {task("Kept", "0", "Research"), task("Dropped", "0", "research")};
    const sheet::Workbook chart = build();
    EXPECT_EQ(textAt(chart, 11, 2), QStringLiteral("Kept"));
    EXPECT_EQ(textAt(chart, 14, 1), QStringLiteral("Research"));
    EXPECT_EQ(textAt(chart, 15, 2), QStringLiteral("Kept"));
    chart.sheet(0).forEachCell([](sheet::CellAddress, const sheet::Cell &cell) {
        EXPECT_NE(cell.value, sheet::Value(QStringLiteral("Dropped")));
    });
}

struct PercentCase {
    const char *text;
    double fraction;
};

class ChartPercentages : public ChartBuilderTest, public ::testing::WithParamInterface<PercentCase> {};

TEST_P(ChartPercentages, TheFractionCompletedGoesToColumnF)
{
    lists.categories = {{QStringLiteral("Research")}};
    lists.tasks = {task("Task", GetParam().text, "Research")};
    const sheet::Workbook chart = build();
    EXPECT_EQ(valueAt(chart, 11, 6), sheet::Value(GetParam().fraction));
}

INSTANTIATE_TEST_SUITE_P(Texts, ChartPercentages,
                         ::testing::Values(PercentCase{"80", 0.8}, PercentCase{"80.5", 0.805},
                                           PercentCase{"", 0.0}, PercentCase{"abc", 0.0}));

TEST_F(ChartPlacement, TemporaryFilesAreGoneAndTheChartWorkbookStays)
{
    lists.categories = {{QStringLiteral("Research")}};
    build();
    const QStringList files = tempFiles();
    ASSERT_EQ(files.size(), 1) << files.join(u' ').toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^kdrave[1-9]{8}\\.xls$")).match(files[0]).hasMatch());
    EXPECT_EQ(temp(files[0]), preview.excelFile);
    // A plain workbook, not a template.
    EXPECT_FALSE(sheet::xls::openWorkbook(preview.excelFile).isTemplate());
}

TEST_F(ChartPlacement, ATemplateCopyOfAnotherRunIsReplacedAndThenDeleted)
{
    WriteBytesToFile(loadCustomResource(101), temp(QStringLiteral("original.xlt")));
    sheet::Workbook marked = sheet::xls::openWorkbook(temp(QStringLiteral("original.xlt")));
    QFile::remove(temp(QStringLiteral("original.xlt")));
    marked.sheet(0).cellAt({1, 7}).value = QStringLiteral("Left behind");
    sheet::xls::saveWorkbook(marked, temp(QStringLiteral("template.xlt")));
    const sheet::Workbook chart = build();
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_NE(textAt(chart, 2, 8), QStringLiteral("Left behind"));
    EXPECT_FALSE(QFile::exists(temp(QStringLiteral("template.xlt"))));
}

// A chart workbook of a running program is marked in use and left alone,
// as is its name; one of a dead run is removed at the next build.
TEST_F(ChartPlacement, AWorkbookOfALiveRunStaysAndWhatDeadRunsLeftGoes)
{
    std::mt19937 same(kSeed);
    std::uniform_int_distribution<int> digit(1, 9);
    QString first = QStringLiteral("kdrave");
    for (int i = 0; i < 8; ++i)
        first += QString::number(digit(same));
    QFile taken(temp(first + QStringLiteral(".xls")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("theirs");
    taken.close();
    markInUse(taken.fileName());
    QFile dead(temp(QStringLiteral("kdrave98765432.xls")));
    ASSERT_TRUE(dead.open(QIODevice::WriteOnly));
    dead.close();
    build();
    EXPECT_NE(preview.excelFile, taken.fileName());
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), QByteArray("theirs"));
    EXPECT_FALSE(dead.exists());
    DeleteFileIfExists(taken.fileName());
}

} // namespace
} // namespace orv::chart::test
