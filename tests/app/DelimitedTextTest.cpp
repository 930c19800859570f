#include "app/DelimitedText.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct PastedCase {
    const char *name;
    QString text;
    ListKind kind;
    ListRecords rows;
};

void PrintTo(const PastedCase &c, std::ostream *out) { *out << c.name; }

class PastedText : public ::testing::TestWithParam<PastedCase> {};

TEST_P(PastedText, GivesTheRowsOfTheList)
{
    EXPECT_EQ(listRows(GetParam().text, GetParam().kind), GetParam().rows);
}

const QStringList kPlan = {"Plan", "50", "1/2/2024", "1/9/2024", "Design", ""};

INSTANTIATE_TEST_SUITE_P(
    Texts, PastedText,
    ::testing::Values(
        PastedCase{"SpreadsheetTabs", "Plan\t50\t1/2/2024\t1/9/2024\tDesign\t\n", ListKind::Tasks, {kPlan}},
        PastedCase{"HeaderSkipped", "Task\t% Compl.\tStart\tEnd\tCategory\tSub Task\nPlan\t50\t1/2/2024\t1/9/2024\tDesign\t",
                   ListKind::Tasks, {kPlan}},
        PastedCase{"OtherToolsHeader", "Task Name,% Complete,Start Date,Finish\nA,1\n", ListKind::Tasks, {{"A", "1"}}},
        PastedCase{"HeaderOnlyOnFirstLine", "A\nTask\tStart\tEnd\n", ListKind::Events,
                   {{"A"}, {"Task", "Start", "End"}}},
        PastedCase{"NameIsNoHeader", "Task\tStart\tEnd\n", ListKind::Tasks, {{"Task", "Start", "End"}}},
        PastedCase{"CategoryHeader", "Categories:\nDesign\n\nBuild\n", ListKind::Categories, {{"Design"}, {"Build"}}},
        PastedCase{"CsvQuoting", "\"Plan, draft\",\"say \"\"hi\"\"\",\"two\r\nlines\",x\n", ListKind::Tasks,
                   {{"Plan, draft", "say \"hi\"", "two\r\nlines", "x"}}},
        PastedCase{"Semicolons", "Plan;12,5;1.2.2024\r\nB;;\r\n", ListKind::Tasks,
                   {{"Plan", "12,5", "1.2.2024"}, {"B", "", ""}}},
        PastedCase{"ShortAndLongRows", "A\nB,1,2,3,4,5,6,7\n", ListKind::Tasks,
                   {{"A"}, {"B", "1", "2", "3", "4", "5", "6", "7"}}},
        PastedCase{"CrLfAndTrailingBlankLines", "A\tB\r\nC\tD\r\n\r\n", ListKind::Tasks, {{"A", "B"}, {"C", "D"}}},
        PastedCase{"LoneCrLines", "A\rB\r", ListKind::Categories, {{"A"}, {"B"}}},
        PastedCase{"QuotedEmptyCategory", "\"\"\nA\n", ListKind::Categories, {{""}, {"A"}}},
        PastedCase{"StrayQuotesKept", "5\" disk,\"a\"b,\"open\n", ListKind::Tasks, {{"5\" disk", "ab", "open\n"}}},
        PastedCase{"Empty", "", ListKind::Tasks, {}}));

// What Copy writes comes back unchanged, whatever the fields hold.
TEST(DelimitedText, WrittenRowsReadBackUnchanged)
{
    const ListRecords rows = {{"Task", "% Compl.", "Start", "End", "Category", "Sub Task"},
                              {"a\tb", "\"q\"", "line\nbreak", "", "x,y;z", "V"},
                              {"", "", "", "", "", ""},
                              {" lead", "trail ", "\r", "", "", ""}};
    for (const QChar separator : {QChar(u'\t'), QChar(u','), QChar(u';')})
        for (const bool crlf : {false, true})
            EXPECT_EQ(parseDelimitedText(delimitedText(rows, separator, crlf)), rows) << int(separator.unicode()) << crlf;
    EXPECT_EQ(parseDelimitedText(delimitedText({{""}, {"A"}}, u'\t')), (ListRecords{{""}, {"A"}}));
}

TEST(DelimitedText, FieldsPastTheColumnsFitOnlyWhenEmpty)
{
    EXPECT_TRUE(fitsColumns({"a", "b", "", ""}, 2));
    EXPECT_FALSE(fitsColumns({"a", "b", "", "x"}, 2));
}

} // namespace
} // namespace orv
