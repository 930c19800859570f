#include "app/DelimitedText.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct PastedCase {
    const char *name;
    QString text;
    ListRecords rows;
};

void PrintTo(const PastedCase &c, std::ostream *out) { *out << c.name; }

class PastedText : public ::testing::TestWithParam<PastedCase> {};

TEST_P(PastedText, GivesItsRows)
{
    EXPECT_EQ(parseDelimitedText(GetParam().text), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PastedText,
    ::testing::Values(
        PastedCase{"SpreadsheetTabs", "Plan\t50\t1/2/2024\t1/9/2024\tDesign\t\n",
                   {{"Plan", "50", "1/2/2024", "1/9/2024", "Design", ""}}},
        PastedCase{"CsvQuoting", "\"Plan, draft\",\"say \"\"hi\"\"\",\"two\r\nlines\",x\n",
                   {{"Plan, draft", "say \"hi\"", "two\r\nlines", "x"}}},
        PastedCase{"Semicolons", "Plan;12,5;1.2.2024\r\nB;;\r\n",
                   {{"Plan", "12,5", "1.2.2024"}, {"B", "", ""}}},
        PastedCase{"ShortAndLongRows", "A\nB,1,2,3,4,5,6,7\n",
                   {{"A"}, {"B", "1", "2", "3", "4", "5", "6", "7"}}},
        PastedCase{"CrLfAndTrailingBlankLines", "A\tB\r\nC\tD\r\n\r\n", {{"A", "B"}, {"C", "D"}}},
        PastedCase{"LoneCrLines", "A\rB\r", {{"A"}, {"B"}}},
        PastedCase{"QuotedEmptyCategory", "\"\"\nA\n", {{""}, {"A"}}},
        PastedCase{"StrayQuotesKept", "5\" disk,\"a\"b,\"open\n", {{"5\" disk", "ab", "open\n"}}},
        PastedCase{"Empty", "", {}}));

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
