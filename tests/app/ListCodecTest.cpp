#include "app/ListCodec.h"
#include "app/StoredList.h"
#include "support/ScriptedServices.h"

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

// A list as the settings store keeps it: the plain value, and the exact form
// under the companion key only where the plain one would lose something.
struct StoredCase {
    const char *name;
    QString key;
    ListRecords records;
    QString plain;
    std::optional<QString> exact;
};

void PrintTo(const StoredCase &c, std::ostream *out) { *out << c.name; }

class StoredLists : public ::testing::TestWithParam<StoredCase> {
protected:
    test::MemorySettingsStore settings;
};

TEST_P(StoredLists, WritesThePlainValueAndOnlyTheNeededCompanion)
{
    settings.values.insert(exactListKey(GetParam().key), "left over from an earlier save");
    writeStoredList(settings, GetParam().key, GetParam().records);
    EXPECT_EQ(settings.read(GetParam().key), GetParam().plain);
    EXPECT_EQ(settings.read(exactListKey(GetParam().key)), GetParam().exact);
}

TEST_P(StoredLists, ReadsBackExactly)
{
    writeStoredList(settings, GetParam().key, GetParam().records);
    EXPECT_EQ(readStoredList(settings, GetParam().key), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredLists,
    ::testing::Values(
        StoredCase{"PlainCategories", "Categories", {{"Design"}, {"Build"}}, "Design|Build", std::nullopt},
        StoredCase{"PlainTasks",
                   "Tasks",
                   {{"Plan", "50", "1/2/2024", "1/9/2024", "Design", ""}, {"", "", "", "", "", ""}},
                   "Plan^50^1/2/2024^1/9/2024^Design^|^^^^^",
                   std::nullopt},
        StoredCase{"PercentAloneStaysPlain", "Events", {{"50%", "%7C", "%"}}, "50%^%7C^%", std::nullopt},
        StoredCase{"EmptyList", "Events", {}, "", std::nullopt},
        StoredCase{"SeparatorsInACategory", "Categories", {{"QA | Ops^Test"}, {"B"}}, "QA | Ops^Test|B",
                   "QA %7C Ops%5ETest|B"},
        StoredCase{"SeparatorsInEveryTaskField",
                   "Tasks",
                   {{"a|b", "5^0", "%7C|", "^", "QA | Ops", "V"}},
                   "a|b^5^0^%7C|^^^QA | Ops^V",
                   "a%7Cb^5%5E0^%257C%7C^%5E^QA %7C Ops^V"},
        StoredCase{"SeparatorsInAnEvent", "Events", {{"x", "|", "^^"}}, "x^|^^^", "x^%7C^%5E%5E"},
        StoredCase{"EmptyCategoryName", "Categories", {{""}, {"A"}, {""}}, "|A|", "|A|"},
        StoredCase{"OnlyAnEmptyCategory", "Categories", {{""}}, "", ""}),
    [](const auto &info) { return std::string(info.param.name); });

class StoredListReading : public ::testing::Test {
protected:
    ListRecords readWith(const QString &plain, const QString &exact)
    {
        settings.values.insert("Tasks", plain);
        settings.values.insert("TasksExact", exact);
        return readStoredList(settings, "Tasks");
    }
    test::MemorySettingsStore settings;
};

TEST_F(StoredListReading, PlainValueWinsOverACompanionThatDisagrees)
{
    EXPECT_EQ(readWith("Edited^^^^^", "a%7Cb^^^^^"), (ListRecords{{"Edited", "", "", "", "", ""}}));
    EXPECT_EQ(readWith("a|b^^^^^", "a%ZZb^^^^^"), (ListRecords{{"a"}, {"b", "", "", "", "", ""}}))
        << "a broken escape";
    EXPECT_EQ(readWith("a|b^^^^^", "a%7Cb^^^^^"), (ListRecords{{"a|b", "", "", "", "", ""}}));
}

TEST_F(StoredListReading, WithoutCompanionReadsAsBefore)
{
    settings.values.insert("Categories", "A||B|QA | Ops^Test");
    EXPECT_EQ(readStoredList(settings, "Categories"), decodeList("A||B|QA | Ops^Test"));
    EXPECT_TRUE(readStoredList(settings, "Events").isEmpty());
}

} // namespace
} // namespace orv
