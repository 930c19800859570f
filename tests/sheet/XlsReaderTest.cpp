#include "XlsTestWorkbooks.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <gtest/gtest.h>

using namespace orv::sheet;
using namespace orv::sheet::xls;
using namespace orv::sheet::xls::testing;

namespace {

QByteArray record(unsigned type, const QByteArray &data)
{
    RecordWriter out;
    out.record(type, data);
    return out.bytes();
}

QByteArray cellHeader(int row, int column, unsigned xf = 15)
{
    ByteWriter data;
    data.u16(static_cast<unsigned>(row));
    data.u16(static_cast<unsigned>(column));
    data.u16(xf);
    return data.bytes();
}

// A one-sheet workbook stream with extra records placed before the sheet's
// final EOF, the way other applications' files carry records we do not write.
QByteArray streamWith(const QByteArray &extra)
{
    Workbook book;
    setValue(book.addSheet(QStringLiteral("Sheet1")), "A1", 1.0);
    QByteArray stream = writeWorkbookStream(book);
    stream.insert(stream.size() - 4, extra);
    return stream;
}

std::uint32_t rkInteger(int value, bool divideBy100 = false) { return (static_cast<std::uint32_t>(value) << 2) | 2 | divideBy100; }

TEST(XlsReaderRecords, CompactNumbersAndBlanksOfOtherApplications)
{
    ByteWriter rk;
    rk.append(cellHeader(4, 1));
    rk.u32(rkInteger(-12));
    ByteWriter rkFloat;
    rkFloat.append(cellHeader(4, 2));
    rkFloat.u32(rkInteger(1234, true));
    ByteWriter mulRk;
    mulRk.u16(5);
    mulRk.u16(0);
    for (int i = 0; i < 3; ++i) {
        mulRk.u16(15);
        mulRk.u32(rkInteger(i + 7));
    }
    mulRk.u16(2);
    ByteWriter rkDouble;
    rkDouble.append(cellHeader(4, 3));
    rkDouble.u32(0x3FF80000); // high bits of 1.5
    ByteWriter mulBlank;
    mulBlank.u16(6);
    mulBlank.u16(3);
    for (int i = 0; i < 3; ++i)
        mulBlank.u16(15);
    mulBlank.u16(5);
    const Workbook book = readWorkbookStream(streamWith(record(rec::Rk, rk.bytes()) + record(rec::Rk, rkFloat.bytes())
                                                        + record(rec::MulRk, mulRk.bytes())
                                                        + record(rec::Rk, rkDouble.bytes())
                                                        + record(rec::MulBlank, mulBlank.bytes())));
    const Sheet &sheet = book.sheet(0);
    EXPECT_EQ(describe(sheet.cell({4, 1})->value), "-12");
    EXPECT_EQ(describe(sheet.cell({4, 2})->value), "12.34");
    EXPECT_EQ(describe(sheet.cell({4, 3})->value), "1.5");
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(describe(sheet.cell({5, column})->value), QString::number(column + 7));
    for (int column = 3; column <= 5; ++column) {
        ASSERT_NE(sheet.cell({6, column}), nullptr);
        EXPECT_TRUE(isEmpty(sheet.cell({6, column})->value));
    }
}

TEST(XlsReaderRecords, InlineLabelsAndUnknownRecords)
{
    ByteWriter label;
    label.append(cellHeader(2, 0));
    appendUnicodeString(label, QStringLiteral("inline ✓"));
    const QByteArray unknown = record(0x1234, QByteArray(40, '\x7F')) + record(0x087A, QByteArray(300, '\x01'))
                               + record(0x0862, QByteArray(20, '\x02'));
    const Workbook book = readWorkbookStream(streamWith(unknown + record(rec::Label, label.bytes())));
    EXPECT_EQ(describe(book.sheet(0).cell({2, 0})->value), describe(Value{QStringLiteral("inline ✓")}));
    EXPECT_EQ(describe(book.sheet(0).cell({0, 0})->value), "1");
}

QByteArray formulaRecord(int row, int column, const QByteArray &result, const QByteArray &tokens)
{
    ByteWriter data;
    data.append(cellHeader(row, column));
    data.append(result);
    data.u16(0x0008); // part of a shared formula
    data.u32(0);
    data.u16(static_cast<unsigned>(tokens.size()));
    data.append(tokens);
    return record(rec::Formula, data.bytes());
}

QByteArray sharedFormulaRecord(int firstRow, int lastRow, int column, const QByteArray &tokens)
{
    ByteWriter data;
    data.u16(static_cast<unsigned>(firstRow));
    data.u16(static_cast<unsigned>(lastRow));
    data.u8(static_cast<unsigned>(column));
    data.u8(static_cast<unsigned>(column));
    data.u8(0);
    data.u8(2);
    data.u16(static_cast<unsigned>(tokens.size()));
    data.append(tokens);
    return record(rec::ShrFmla, data.bytes());
}

TEST(XlsReaderRecords, SharedFormulasReferToEachCell)
{
    // C4:C5 share "=B<row>+1": a RefN one column left, then 1 and an addition.
    ByteWriter number;
    number.f64(99.5);
    const QByteArray shared = QByteArray::fromHex("01030002" "00");
    ByteWriter tokens;
    tokens.u8(0x4C); // RefN, value class
    tokens.u16(0);
    tokens.u16(0xC0FF); // relative row and column, column offset -1
    tokens.u8(0x1E);
    tokens.u16(1);
    tokens.u8(0x03);
    const Workbook book = readWorkbookStream(streamWith(formulaRecord(3, 2, number.bytes(), shared)
                                                        + sharedFormulaRecord(3, 4, 2, tokens.bytes())
                                                        + formulaRecord(4, 2, number.bytes(), shared)));
    for (int row : {3, 4}) {
        const Cell *cell = book.sheet(0).cell({row, 2});
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(describe(cell->value), "99.5");
        EXPECT_EQ(describe(cell->formula), QStringLiteral("B%1+1").arg(row + 1));
    }
}

TEST(XlsReaderRecords, ArrayFormulasKeepTheirCachedResults)
{
    ByteWriter text;
    text.u8(0);
    text.zeros(5);
    text.u16(0xFFFF);
    const QByteArray array = QByteArray::fromHex("01030001" "00"); // no SHRFMLA for it
    ByteWriter string;
    appendUnicodeString(string, QStringLiteral("from an array formula"));
    const Workbook book = readWorkbookStream(streamWith(formulaRecord(3, 1, text.bytes(), array)
                                                        + record(0x0221, QByteArray(14, '\0'))
                                                        + record(rec::String, string.bytes())));
    const Cell *cell = book.sheet(0).cell({3, 1});
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->hasFormula());
    EXPECT_EQ(describe(cell->value), describe(Value{QStringLiteral("from an array formula")}));
}

QByteArray conditionalHeader(const CellRange &range, unsigned rules)
{
    ByteWriter data;
    data.u16(rules);
    data.u16(1);
    for (int i = 0; i < 2; ++i) {
        if (i == 1)
            data.u16(1);
        data.u16(static_cast<unsigned>(range.firstRow));
        data.u16(static_cast<unsigned>(range.lastRow));
        data.u16(static_cast<unsigned>(range.firstColumn));
        data.u16(static_cast<unsigned>(range.lastColumn));
    }
    return record(rec::CondFmt, data.bytes());
}

QByteArray cellValueRule(unsigned comparison, int first, int second)
{
    auto integer = [](int value) { return QByteArray::fromHex("1E") + QByteArray(1, char(value)) + QByteArray(1, '\0'); };
    ByteWriter data;
    data.u8(1);
    data.u8(comparison);
    data.u16(3);
    data.u16(comparison <= 2 ? 3 : 0);
    data.u32(0x003FFFFF); // no look of its own
    data.u16(0x8002);
    data.append(integer(first));
    if (comparison <= 2)
        data.append(integer(second));
    return record(rec::Cf, data.bytes());
}

struct CellValueRuleCase {
    unsigned comparison;
    const char *expected;
};

class XlsCellValueRule : public ::testing::TestWithParam<CellValueRuleCase> {};

TEST_P(XlsCellValueRule, BecomesTheFormulaOnTheFirstCell)
{
    const Workbook book = readWorkbookStream(
        streamWith(conditionalHeader(rangeOf("B2", "C5"), 1) + cellValueRule(GetParam().comparison, 1, 5)));
    ASSERT_EQ(book.sheet(0).conditionalFormats().size(), 1u);
    ASSERT_EQ(book.sheet(0).conditionalFormats()[0].rules.size(), 1u);
    EXPECT_EQ(describe(book.sheet(0).conditionalFormats()[0].rules[0].formula), QLatin1String(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Comparisons, XlsCellValueRule,
    ::testing::Values(
        CellValueRuleCase{1, "AND(B2>=1,B2<=5)"}, CellValueRuleCase{2, "OR(B2<1,B2>5)"}, CellValueRuleCase{3, "B2=1"},
        CellValueRuleCase{4, "B2<>1"}, CellValueRuleCase{5, "B2>1"}, CellValueRuleCase{6, "B2<1"}, CellValueRuleCase{7, "B2>=1"},
        CellValueRuleCase{8, "B2<=1"}));

TEST(XlsReaderRecords, FormatsWithoutReadableRulesAreDropped)
{
    // A rule naming a defined name (PtgName), which the engine does not model.
    ByteWriter data;
    data.u8(2);
    data.u8(0);
    data.u16(5);
    data.u16(0);
    data.u32(0x003FFFFF);
    data.u16(0x8002);
    data.append(QByteArray::fromHex("4301000000"));
    const Workbook book = readWorkbookStream(streamWith(conditionalHeader(rangeOf("B2", "C5"), 1)
                                                        + record(rec::Cf, data.bytes())
                                                        + conditionalHeader(rangeOf("D2", "D5"), 1)
                                                        + cellValueRule(3, 1, 0)));
    ASSERT_EQ(book.sheet(0).conditionalFormats().size(), 1u);
    EXPECT_TRUE(book.sheet(0).conditionalFormats()[0].ranges == std::vector<CellRange>{rangeOf("D2", "D5")});
}

TEST(XlsReaderRecords, CellsOutsideTheSheetAreSkipped)
{
    ByteWriter far;
    far.append(cellHeader(3, 300));
    far.f64(1);
    const Workbook book = readWorkbookStream(streamWith(record(rec::Number, far.bytes())));
    EXPECT_EQ(book.sheet(0).usedRange()->lastColumn, 0);
}

TEST(ContinuedStrings, RichAndPhoneticPartsAreSkippedAndWidthMaySwitch)
{
    // "abc" rich (2 runs) with 6 bytes of phonetic data, then "dé☺" whose
    // characters continue in the next record as 16-bit characters.
    ByteWriter data;
    data.u16(3);
    data.u8(0x0C);
    data.u16(2);
    data.u32(6);
    data.append("abc");
    data.zeros(8 + 6);
    data.u16(3);
    data.u8(0);
    data.append("d");
    const qsizetype breakAt = data.size();
    data.u8(1);
    data.u16(0xE9);
    data.u16(0x263A);
    Record record;
    record.data = data.bytes();
    record.continues = {breakAt};
    ContinuedStringReader reader(record);
    EXPECT_EQ(reader.richExtendedString(), QStringLiteral("abc"));
    EXPECT_EQ(reader.richExtendedString(), QStringLiteral("dé☺"));
    EXPECT_TRUE(reader.in().atEnd());
}

TEST(ContinuedStrings, HeaderAtTheEndOfARecordRepeatsTheOptionByte)
{
    ByteWriter data;
    data.u16(2);
    data.u8(0);
    const qsizetype breakAt = data.size();
    data.u8(1);
    data.u16(0x263A);
    data.u16(0x263B);
    Record record;
    record.data = data.bytes();
    record.continues = {breakAt};
    ContinuedStringReader reader(record);
    EXPECT_EQ(reader.richExtendedString(), QStringLiteral("☺☻"));
}

struct BrokenStream {
    const char *name;
    std::function<QByteArray()> make;
    const char *message;
};

class XlsBrokenStream : public ::testing::TestWithParam<BrokenStream> {};

TEST_P(XlsBrokenStream, IsRefusedWithAReason)
{
    try {
        readWorkbookStream(GetParam().make());
        FAIL() << "broken stream was accepted";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QLatin1String(GetParam().message)))
            << failure.description().toStdString();
    }
}

QByteArray smallStream()
{
    Workbook book;
    setValue(book.addSheet(QStringLiteral("Sheet1")), "A1", QStringLiteral("x"));
    return writeWorkbookStream(book);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, XlsBrokenStream,
    ::testing::Values(
        BrokenStream{"empty", [] { return QByteArray(); }, "truncated"},
        BrokenStream{"no_bof", [] { return record(rec::Eof, {}); }, "BOF"},
        BrokenStream{"biff5", [] { QByteArray s = smallStream(); s[4] = 0; s[5] = 5; return s; }, "BIFF8"},
        BrokenStream{"cut_globals", [] { return smallStream().left(300); }, "truncated"},
        BrokenStream{"cut_sheet", [] { return smallStream().chopped(30); }, "truncated"},
        BrokenStream{"record_longer_than_stream", [] { QByteArray s = smallStream(); s[22] = '\xFF'; s[23] = '\x7F'; return s; },
                     "truncated"},
        BrokenStream{"password", [] { QByteArray s = smallStream(); s.insert(20, record(rec::FilePass, QByteArray(6, 0))); return s; },
                     "password"},
        BrokenStream{"sheet_beyond_end",
                     [] {
                         QByteArray s = smallStream();
                         const qsizetype at = s.indexOf(QByteArray::fromHex("8500")); // BOUNDSHEET
                         s[at + 4] = s[at + 5] = s[at + 6] = '\x7F';
                         return s;
                     },
                     "beyond"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(XlsReaderFile, RefusesFilesWithoutAWorkbookStream)
{
    EXPECT_THROW(readXlsFile(writeCompoundFile({{QStringLiteral("Other"), QByteArray(5000, 'a')}})), orv::Failure);
    try {
        readXlsFile(writeCompoundFile({{QStringLiteral("Book"), QByteArray(5000, 'a')}}));
        FAIL();
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QLatin1String("5.0/95")));
    }
}

} // namespace
