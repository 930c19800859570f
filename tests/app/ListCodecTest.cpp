#include "app/ListCodec.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct CodecCase {
    const char *name;
    ListRecords records;
    QString stored;
};

void PrintTo(const CodecCase &c, std::ostream *out) { *out << c.name; }

// Lists that come back exactly as they were saved.
class ListRoundTrip : public ::testing::TestWithParam<CodecCase> {};

TEST_P(ListRoundTrip, EncodesByteForByte)
{
    EXPECT_EQ(encodeList(GetParam().records), GetParam().stored);
}

TEST_P(ListRoundTrip, DecodesBack)
{
    EXPECT_EQ(decodeList(GetParam().stored), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ListRoundTrip,
    ::testing::Values(
        CodecCase{"TwoCategories", {{"Design"}, {"Build"}}, "Design|Build"},
        CodecCase{"TwoTasks",
                  {{"Plan", "50", "1/2/2024", "1/9/2024", "Design", ""}, {"Review", "", "", "", "Design", "V"}},
                  "Plan^50^1/2/2024^1/9/2024^Design^|Review^^^^Design^V"},
        CodecCase{"EmptyEvent", {{"", "", ""}}, "^^"},
        CodecCase{"EmptyTask", {{"", "", "", "", "", ""}}, "^^^^^"},
        CodecCase{"EmptyList", {}, ""},
        CodecCase{"TextKeptAsTyped",
                  {{" lead", "trail ", "a,b;c", "\"q\" \\x", "Grüße 日本", "@x"}},
                  " lead^trail ^a,b;c^\"q\" \\x^Grüße 日本^@x"}),
    [](const auto &info) { return std::string(info.param.name); });

struct DecodeCase {
    const char *name;
    QString stored;
    ListRecords records;
};

void PrintTo(const DecodeCase &c, std::ostream *out) { *out << c.name; }

// Stored texts that do not come back as they were, as the format implies.
class ListDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(ListDecoding, Records)
{
    EXPECT_EQ(decodeList(GetParam().stored), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ListDecoding,
    ::testing::Values(DecodeCase{"EmptyRecordBetween", "A||B", {{"A"}, {"B"}}},
                      DecodeCase{"TrailingBar", "A|", {{"A"}}},
                      DecodeCase{"LeadingEmptyName", "|A", {{"A"}}},
                      DecodeCase{"OnlyBars", "|||", {}},
                      DecodeCase{"TaskWithoutSeparators", "Solo", {{"Solo"}}},
                      DecodeCase{"SurplusField", "E^1/2/2024^1/3/2024^x", {{"E", "1/2/2024", "1/3/2024", "x"}}},
                      DecodeCase{"BarInsideFieldSplits", "a|b^c", {{"a"}, {"b", "c"}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ListSplitting, EmptyRecordHasNoFieldsButEmptyFieldsCount)
{
    EXPECT_TRUE(splitRecords(QString()).isEmpty());
    EXPECT_EQ(splitRecords("A||B"), (QStringList{"A", "", "B"}));
    EXPECT_TRUE(splitFields(QString()).isEmpty());
    EXPECT_EQ(splitFields("^"), (QStringList{"", ""}));
}

} // namespace
} // namespace orv
