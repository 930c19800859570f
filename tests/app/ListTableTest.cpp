#include "app/ListTable.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// Tables as spreadsheets and planning tools export them, read under
// American English: dates come in as M/d/yyyy.
struct TableCase {
    const char *name;
    ListKind kind;
    const char *text;
    ListRecords items;
    QStringList categories = {};
    QStringList leftOut = {};
    const char *stop = "";
};

void PrintTo(const TableCase &c, std::ostream *out)
{
    *out << c.name;
}

class HeaderRow : public ::testing::TestWithParam<TableCase> {};

TEST_P(HeaderRow, PutsEachColumnIntoItsField)
{
    const TableCase &c = GetParam();
    const ListTable table = readListTable(QString::fromUtf8(c.text), c.kind, QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(table.items, c.items);
    EXPECT_EQ(table.categories, c.categories);
    EXPECT_EQ(table.leftOut, c.leftOut);
    EXPECT_TRUE(table.stop.contains(QLatin1String(c.stop))) << table.stop.toStdString();
    EXPECT_EQ(table.stoppedRow > 0, *c.stop != '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Exports, HeaderRow,
    ::testing::Values(
        TableCase{"SpreadsheetOrder",
                  ListKind::Tasks,
                  "Task Name,Start,Finish,% Complete,Category\r\nDesign,2027-01-05,2027-01-09,40%,Build\r\n",
                  {{"Design", "40", "1/5/2027", "1/9/2027", "Build", ""}},
                  {"Build"}},
        TableCase{"ReorderedWithUnknownColumn",
                  ListKind::Tasks,
                  "CATEGORY;notes;finish date;Name;start-date\nBuild;call Bob;1/9/2027;Lay;01/05/2027\n",
                  {{"Lay", "", "1/5/2027", "1/9/2027", "Build", ""}},
                  {"Build"},
                  {"notes"}},
        TableCase{"MissingColumnsAndIsoTime",
                  ListKind::Tasks,
                  "Title\tDue\nWrite\t2027-01-05T09:00\n",
                  {{"Write", "", "", "1/5/2027", "", ""}}},
        TableCase{"LongDateForm",
                  ListKind::Tasks,
                  "Task,Begin\nA,\"Tuesday, January 5, 2027\"\n",
                  {{"A", "", "1/5/2027", "", "", ""}}},
        TableCase{"FractionsBecomePercentages",
                  ListKind::Tasks,
                  "Task,Percent Complete,Phase\nA,0.4,P\nB,1,P\nC,,P\n",
                  {{"A", "40", "", "", "P", ""}, {"B", "100", "", "", "P", ""}, {"C", "", "", "", "P", ""}},
                  {"P"}},
        TableCase{"MixedPercentagesStay",
                  ListKind::Tasks,
                  "Task,Progress\nA,0.4\nB,40 %\nC,0\n",
                  {{"A", "0.4", "", "", "", ""}, {"B", "40", "", "", "", ""}, {"C", "0", "", "", "", ""}}},
        TableCase{"SubTaskMarks",
                  ListKind::Tasks,
                  "Activity,Subtask,Group\nA,yes,G\nB,no,G\nC,\u2713,G\nD,X,G\nE,maybe,G\n",
                  {{"A", "", "", "", "G", "V"},
                   {"B", "", "", "", "G", ""},
                   {"C", "", "", "", "G", "V"},
                   {"D", "", "", "", "G", "V"},
                   {"E", "", "", "", "G", "maybe"}},
                  {"G"}},
        TableCase{"OutlineLevels",
                  ListKind::Tasks,
                  "Outline Level,Name,Workstream\n1,Top,W\n2,Child,W\n3,Grand,W\n",
                  {{"Top", "", "", "", "W", ""}, {"Child", "", "", "", "W", "V"}, {"Grand", "", "", "", "W", "V"}},
                  {"W"}},
        TableCase{"SummaryRowsBecomeCategories",
                  ListKind::Tasks,
                  "Task,Section\n,Design\nSketch,Design\n,,\nLay,Build\n,Test\n",
                  {{"Sketch", "", "", "", "Design", ""}, {"", "", "", "", "", ""}, {"Lay", "", "", "", "Build", ""}},
                  {"Design", "Build", "Test"}},
        TableCase{"NoTaskColumn",
                  ListKind::Tasks,
                  "Start,Finish,Notes\n1/5/2027,1/9/2027,x\n",
                  {},
                  {},
                  {"Notes"},
                  "names no Task column; the names understood are Task, Task Name"},
        TableCase{"NoHeaderKeepsTheListsOrder",
                  ListKind::Tasks,
                  "A,50,1/5/27,1/9/2027,Build,x\n",
                  {{"A", "50", "1/5/2027", "1/9/2027", "Build", "V"}},
                  {"Build"}},
        TableCase{"NoHeaderTooWide",
                  ListKind::Tasks,
                  "A,1\nB,1,2,3,Cat,V,extra\n",
                  {{"A", "1", "", "", "", ""}},
                  {},
                  {},
                  "row 2 has 7 columns; the list has 6"},
        TableCase{"EventsByTheirNames",
                  ListKind::Events,
                  "Event Name\tDue\tBegin\tPhase\nMeeting\t2027-01-06\t2027-01-05\tX\n",
                  {{"Meeting", "1/5/2027", "1/6/2027"}},
                  {},
                  {"Phase"}},
        TableCase{"CategoriesFromATaskTable",
                  ListKind::Categories,
                  "Categories:\nDesign\n\nBuild\n",
                  {{"Design"}, {"Build"}}},
        TableCase{"LoneOtherNameIsAnItem", ListKind::Categories, "Phase\nDesign\n", {{"Phase"}, {"Design"}}},
        TableCase{"HeaderAlone", ListKind::Tasks, "Task,% Compl.,Start,End,Category,Sub Task\n", {}}));

TEST(ListTable, StopsAtTheListsLimits)
{
    QString rows;
    for (int i = 0; i < kMostListRows + 5; ++i)
        rows += QStringLiteral("t\n");
    const ListTable many = readListTable(rows, ListKind::Categories);
    EXPECT_EQ(many.items.size(), kMostListRows);
    EXPECT_EQ(many.stoppedRow, kMostListRows + 1);
    EXPECT_FALSE(many.readToEnd);

    const ListTable longName =
        readListTable(QStringLiteral("a\n%1\nc\n").arg(QString(kLongestField + 1, u'n')), ListKind::Tasks);
    EXPECT_EQ(longName.items.size(), 1);
    EXPECT_EQ(longName.stoppedRow, 2);
    EXPECT_TRUE(longName.stop.contains(QStringLiteral("32,767 characters")));
}

} // namespace
} // namespace orv
