#include "XlsTestWorkbooks.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <gtest/gtest.h>

using namespace orv::sheet;
using namespace orv::sheet::xls;
using namespace orv::sheet::xls::testing;

namespace {

Workbook roundTrip(const Workbook &book, TemplateMark mark = TemplateMark::Keep)
{
    return readXlsFile(writeXlsFile(book, mark));
}

QByteArray workbookStreamOf(const QByteArray &file)
{
    for (const CompoundStream &stream : readCompoundFile(file))
        if (stream.name == QLatin1String("Workbook"))
            return stream.data;
    return {};
}

std::vector<Record> recordsOf(const QByteArray &stream)
{
    std::vector<Record> records;
    RecordReader reader(stream);
    while (!reader.atEnd())
        records.push_back(reader.next());
    return records;
}

TEST(XlsRoundTrip, RichWorkbookKeepsEverythingTheModelHolds)
{
    const Workbook book = richWorkbook();
    expectSameWorkbook(book, roundTrip(book));
}

TEST(XlsRoundTrip, SameWorkbookGivesSameBytes)
{
    EXPECT_EQ(writeXlsFile(richWorkbook()), writeXlsFile(richWorkbook()));
}

TEST(XlsRoundTrip, SecondGenerationIsIdenticalToFirst)
{
    const QByteArray first = writeXlsFile(richWorkbook());
    EXPECT_EQ(first, writeXlsFile(readXlsFile(first)));
}

TEST(XlsRoundTrip, RecordsNeverExceedTheRecordLimit)
{
    // Raw headers: a record longer than 8224 bytes must have been split.
    const QByteArray stream = workbookStreamOf(writeXlsFile(richWorkbook()));
    ByteReader in(stream);
    int continues = 0;
    while (!in.atEnd()) {
        const unsigned type = in.u16();
        const unsigned length = in.u16();
        EXPECT_LE(length, static_cast<unsigned>(kMaxRecordData)) << "record " << type;
        continues += type == rec::Continue;
        in.skip(length);
    }
    EXPECT_GE(continues, 3); // the two long texts
}

struct TemplateCase {
    bool isTemplate;
    TemplateMark mark;
    bool expected;
};

class XlsTemplateMark : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(XlsTemplateMark, IsKeptOnlyWhenAskedFor)
{
    Workbook book;
    book.addSheet(QStringLiteral("Sheet1"));
    book.setTemplate(GetParam().isTemplate);
    const QByteArray stream = workbookStreamOf(writeXlsFile(book, GetParam().mark));
    const auto records = recordsOf(stream);
    const bool hasRecord = std::any_of(records.begin(), records.end(), [](const Record &r) { return r.type == rec::Template; });
    EXPECT_EQ(hasRecord, GetParam().expected);
    EXPECT_EQ(readWorkbookStream(stream).isTemplate(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsTemplateMark,
                         ::testing::Values(TemplateCase{true, TemplateMark::Keep, true},
                                           TemplateCase{true, TemplateMark::Drop, false},
                                           TemplateCase{false, TemplateMark::Keep, false},
                                           TemplateCase{false, TemplateMark::Drop, false}));

class XlsCellValue : public ::testing::TestWithParam<Value> {};

TEST_P(XlsCellValue, SurvivesAsConstantAndAsFormulaResult)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Values"));
    setValue(sheet, "C7", GetParam());
    setFormula(sheet, "D7", "C7", GetParam());
    for (const char *run : {"C8", "D8", "E8"}) // a run of constants: MULRK or MULBLANK where they fit
        setValue(sheet, run, GetParam());
    const Workbook back = roundTrip(book);
    EXPECT_EQ(describe(back.sheet(0).cell({6, 2})->value), describe(GetParam()));
    for (int column = 2; column <= 4; ++column)
        EXPECT_EQ(describe(back.sheet(0).cell({7, column})->value), describe(GetParam())) << "in a run";
    // An empty formula result reads back as the empty text.
    const Value expected = isEmpty(GetParam()) ? Value{QString()} : GetParam();
    EXPECT_EQ(describe(back.sheet(0).cell({6, 3})->value), describe(expected));
}

INSTANTIATE_TEST_SUITE_P(Values, XlsCellValue,
                         ::testing::Values(Value{}, Value{0.0}, Value{-0.5}, Value{1e300}, Value{42705.25},
                                           Value{65536.0}, Value{-536870912.0}, Value{536870911.0},
                                           Value{536870912.0}, Value{0.1}, Value{-1e-300}, Value{QStringLiteral("plain")}, Value{QString()},
                                           Value{QStringLiteral("Überstunden – 週末")},
                                           Value{QString(8300, QLatin1Char('a'))},
                                           Value{QString(4200, QChar(0x263A))},
                                           Value{QString(8223, QLatin1Char('b')) + QChar(0x263A) + QStringLiteral("tail")},
                                           Value{true}, Value{false}, Value{ErrorCode::Null},
                                           Value{ErrorCode::Div0}, Value{ErrorCode::Value}, Value{ErrorCode::Ref},
                                           Value{ErrorCode::Name}, Value{ErrorCode::Num}, Value{ErrorCode::NA}));

// EXTSST buckets point at every eighth string: its stream position and
// its offset within the SST or CONTINUE record holding it.
void expectStringIndexPointsAtStrings(const QByteArray &stream, const std::vector<QString> &strings)
{
    std::vector<std::pair<qsizetype, qsizetype>> records; // start, end of raw records
    QByteArray index;
    ByteReader in(stream);
    while (!in.atEnd()) {
        const qsizetype start = in.position();
        const unsigned type = in.u16();
        const unsigned length = in.u16();
        if (type == rec::ExtSst)
            index = stream.mid(in.position(), length);
        in.skip(length);
        records.push_back({start, in.position()});
    }
    ByteReader buckets(index);
    ASSERT_EQ(buckets.u16(), 8u);
    for (size_t i = 0; !buckets.atEnd(); i += 8) {
        const qsizetype position = buckets.u32();
        const qsizetype offset = buckets.u16();
        buckets.skip(2);
        ASSERT_LT(i, strings.size());
        const auto holder = std::find_if(records.begin(), records.end(),
                                         [&](const auto &r) { return position >= r.first && position < r.second; });
        ASSERT_NE(holder, records.end());
        EXPECT_EQ(position - holder->first, offset) << i;
        ByteReader header(stream);
        header.seek(position);
        EXPECT_EQ(static_cast<qsizetype>(header.u16()), strings[i].size()) << i;
    }
}

TEST(XlsRoundTrip, ManyStringsFillSeveralContinuedRecords)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Strings"));
    for (int row = 0; row < 3000; ++row)
        setValue(sheet, QStringLiteral("A%1").arg(row + 1),
                 row % 3 ? QStringLiteral("text number %1").arg(row) : QStringLiteral("Ärger %1 ✓").arg(row));
    setValue(sheet, "B1", QStringLiteral("text number 1")); // shared with A2
    const QByteArray file = writeXlsFile(book);
    expectSameWorkbook(book, readXlsFile(file));
    std::vector<QString> strings;
    for (int row = 0; row < 3000; ++row)
        strings.push_back(std::get<QString>(sheet.cell({row, 0})->value));
    expectStringIndexPointsAtStrings(workbookStreamOf(file), strings);
}

TEST(XlsRoundTrip, StringIndexBucketStartingAtARecordEndPointsIntoTheContinuation)
{
    // The long first string and seven one-letter strings leave two bytes in
    // the SST record, too few for the ninth string's header and a character.
    std::vector<QString> strings = {QString(8183, QLatin1Char('x'))};
    for (char c = 'a'; c <= 'p'; ++c)
        strings.push_back(QString(1, QLatin1Char(c)));
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Strings"));
    for (size_t i = 0; i < strings.size(); ++i)
        setValue(sheet, QStringLiteral("A%1").arg(i + 1), strings[i]);
    const QByteArray file = writeXlsFile(book);
    expectSameWorkbook(book, readXlsFile(file));
    expectStringIndexPointsAtStrings(workbookStreamOf(file), strings);
}

struct FormulaCase {
    const char *name;
    QString text;
};

class XlsFormula : public ::testing::TestWithParam<FormulaCase> {};

SheetLinks testLinks()
{
    SheetLinks links;
    links.indexOf = [](const QString &name) {
        if (name == QLatin1String("Other"))
            return 1;
        throw orv::Failure(QStringLiteral("unknown sheet"));
    };
    links.nameOf = [](int index) { return index == 1 ? QStringLiteral("Other") : QString(); };
    return links;
}

TEST_P(XlsFormula, TokensGiveBackTheSameTreeInCells)
{
    const SheetLinks links = testLinks();
    const CellAddress at{20, 10};
    const EncodedFormula encoded = encodeFormula(*formula(GetParam().text), FormulaPlace::Cell, at, links);
    EXPECT_EQ(describe(decodeFormula(encoded.tokens, FormulaPlace::Cell, at, links)), GetParam().text);
}

class XlsConditionalFormula : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(XlsConditionalFormula, TokensGiveBackTheSameTree)
{
    const SheetLinks links = testLinks();
    const CellAddress base{5, 3};
    const EncodedFormula encoded = encodeFormula(*formula(GetParam().text), FormulaPlace::Conditional, base, links);
    EXPECT_EQ(describe(decodeFormula(encoded.tokens, FormulaPlace::Conditional, base, links)), GetParam().text);
}

std::vector<FormulaCase> formulaCases()
{
    std::vector<FormulaCase> cases = {
        {"relative", "B2"},
        {"absolute", "$B$2"},
        {"mixed", "$B2+B$2"},
        {"far corner", "A1:$IV$65536"},
        {"area", "SUM(D3:$E$15)"},
        {"other sheet", "Other!C4*2"},
        {"other sheet area", "SUM(Other!$A$1:B9)"},
        {"numbers", "65535-0.5^1E-09+123456.789"},
        {"text", "\"Größe\"&\"" + QString(255, QLatin1Char('z')) + "\""},
        {"constants", "IF(TRUE,#N/A,FALSE)"},
        {"unary", "-+A1%"},
        {"comparisons", "AND(1=2,1<2,1>2,1<=2,1>=2,1<>2)"},
        {"parentheses", "(1+2)*3"},
        {"if without else", "IF(A1,1)"},
        {"nested if", "IF(A1,IF(B1,1,2),IF(C1,3,4))"},
        {"missing argument", "IF(A1,,2)"},
        {"intersection", "SUM(A1:B2 B1:C3)"},
        {"range operator", "SUM(A1:B2:C3)"},
        {"union", "SUM((A1,B2))"},
    };
    // Every function the format table knows, with its smallest and largest
    // argument counts.
    for (const FunctionInfo &info : functionTable()) {
        for (int count : {info.minArgs, std::min(info.maxArgs, 3)}) {
            QStringList args;
            for (int i = 0; i < count; ++i)
                args << (i % 2 ? QStringLiteral("C3") : QString::number(i + 1));
            cases.push_back({info.name, QStringLiteral("%1(%2)").arg(QLatin1String(info.name), args.join(QLatin1Char(',')))});
        }
    }
    return cases;
}

std::string formulaCaseName(const ::testing::TestParamInfo<FormulaCase> &info)
{
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsFormula, ::testing::ValuesIn(formulaCases()), formulaCaseName);

// Conditional formats cannot refer to other sheets.
std::vector<FormulaCase> sameSheetFormulaCases()
{
    std::vector<FormulaCase> cases;
    for (const FormulaCase &c : formulaCases())
        if (!c.text.contains(QLatin1String("Other!")))
            cases.push_back(c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsConditionalFormula, ::testing::ValuesIn(sameSheetFormulaCases()), formulaCaseName);

TEST(XlsFormulaTokens, ConditionalReferencesAreOffsetsFromTheFirstRangesTopLeft)
{
    // H4 testing G6 (one column left, two rows down) and $B4.
    const CellAddress base{3, 7};
    const QByteArray tokens = encodeFormula(*formula("G6<>$B4"), FormulaPlace::Conditional, base, testLinks()).tokens;
    ASSERT_EQ(tokens.size(), 11);
    EXPECT_EQ(static_cast<unsigned char>(tokens[0]) & 0x1F, 0x0C); // RefN
    ByteReader in(tokens);
    in.skip(1);
    EXPECT_EQ(in.i16(), 2);          // row offset
    EXPECT_EQ(in.u16(), 0xC0FFu);    // both relative, column offset -1
    in.skip(1);
    EXPECT_EQ(in.i16(), 0);          // $B4: row offset 0
    EXPECT_EQ(in.u16(), 0x8001u);    // row relative, absolute column B
}

TEST(XlsFormulaTokens, VolatileFunctionsAreMarked)
{
    const SheetLinks links = testLinks();
    const auto today = encodeFormula(*formula("TODAY()-30"), FormulaPlace::Cell, {}, links);
    EXPECT_TRUE(today.volatileResult);
    EXPECT_EQ(today.tokens.left(2), QByteArray::fromHex("1901"));
    EXPECT_FALSE(encodeFormula(*formula("MONTH(A1)"), FormulaPlace::Cell, {}, links).volatileResult);
}

class XlsNestedTokens : public ::testing::TestWithParam<std::pair<int, bool>> {};

TEST_P(XlsNestedTokens, DeepNestingIsRefused)
{
    // 1 followed by `depth` unary minus tokens.
    const auto [depth, accepted] = GetParam();
    const QByteArray tokens = QByteArray::fromHex("1E0100") + QByteArray(depth, '\x13');
    if (accepted)
        EXPECT_NO_THROW(decodeFormula(tokens, FormulaPlace::Cell, {}, testLinks()));
    else
        EXPECT_THROW(decodeFormula(tokens, FormulaPlace::Cell, {}, testLinks()), orv::Failure);
}

INSTANTIATE_TEST_SUITE_P(Depths, XlsNestedTokens,
                         ::testing::Values(std::pair{1, true}, std::pair{199, true}, std::pair{200, false},
                                           std::pair{60000, false}));

struct RefusedFormula {
    const char *name;
    QString text;
    FormulaPlace place;
};

class XlsRefusedFormula : public ::testing::TestWithParam<RefusedFormula> {};

TEST_P(XlsRefusedFormula, ThrowsAFailure)
{
    EXPECT_THROW(encodeFormula(*formula(GetParam().text), GetParam().place, {5, 5}, testLinks()), orv::Failure);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XlsRefusedFormula,
    ::testing::Values(RefusedFormula{"unknown function", "IFERROR(1,2)", FormulaPlace::Cell},
                      RefusedFormula{"too many arguments", "MONTH(1,2)", FormulaPlace::Cell},
                      RefusedFormula{"long text", "\"" + QString(256, QLatin1Char('x')) + "\"", FormulaPlace::Cell},
                      RefusedFormula{"unknown sheet", "Nowhere!A1", FormulaPlace::Cell},
                      RefusedFormula{"other sheet in a rule", "Other!A1", FormulaPlace::Conditional}),
    [](const auto &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(XlsRoundTrip, UnsavableFormulaNamesTheCell)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Plan"));
    setFormula(sheet, "C5", "NETWORKDAYS(1,2)", 0.0);
    try {
        writeXlsFile(book);
        FAIL() << "expected a failure";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QLatin1String("Plan!C5"))) << failure.description().toStdString();
        EXPECT_TRUE(failure.description().contains(QLatin1String("NETWORKDAYS")));
    }
}

class XlsCellFormat : public ::testing::TestWithParam<CellFormat> {};

TEST_P(XlsCellFormat, SurvivesRoundTrip)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Formats"));
    const int index = book.addFormat(GetParam());
    setValue(sheet, "B2", 1.5, index);
    const Workbook back = roundTrip(book);
    const int readIndex = back.sheet(0).cell({1, 1})->formatIndex;
    EXPECT_TRUE(back.format(readIndex) == GetParam());
}

std::vector<CellFormat> formatCases()
{
    std::vector<CellFormat> cases;
    CellFormat f;
    cases.push_back(f);
    f.font = {QStringLiteral("Times New Roman"), 14, true, true, true, Color::fromRgb(0xC00000)};
    cases.push_back(f);
    f = {};
    f.fill = {FillPattern::Solid, Color::fromRgb(0x010203)}; // not in the default palette
    cases.push_back(f);
    for (BorderStyle style : {BorderStyle::Thin, BorderStyle::Medium, BorderStyle::Dashed, BorderStyle::Dotted,
                              BorderStyle::Thick, BorderStyle::Double, BorderStyle::Hair}) {
        f = {};
        f.borders.left = {style, Color::fromRgb(0x993300)};
        f.borders.bottom = {style, Color{}};
        cases.push_back(f);
    }
    for (HorizontalAlignment h : {HorizontalAlignment::Left, HorizontalAlignment::Center, HorizontalAlignment::Right,
                                  HorizontalAlignment::Fill, HorizontalAlignment::Justify,
                                  HorizontalAlignment::CenterAcrossSelection}) {
        f = {};
        f.alignment.horizontal = h;
        f.alignment.vertical = VerticalAlignment::Center;
        cases.push_back(f);
    }
    f = {};
    f.alignment = {HorizontalAlignment::General, VerticalAlignment::Justify, true, true, 255, 15};
    cases.push_back(f);
    for (const char *number : {"0.00", "mmm", "m/d", "m/d;@", "#,##0.00 \"€\"", "@", "[h]:mm:ss"}) {
        f = {};
        f.numberFormat = QString::fromUtf8(number);
        cases.push_back(f);
    }
    f = {};
    f.locked = false;
    f.hidden = true;
    cases.push_back(f);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, XlsCellFormat, ::testing::ValuesIn(formatCases()));

TEST(XlsRoundTrip, MoreColoursThanThePaletteHoldsUseTheNearest)
{
    // 56 distinct colours fill the palette exactly; 24 more differ from
    // some of them by one step of red and must come back as those.
    auto colour = [](int i) { return i < 56 ? qRgb(i * 4, 255 - i * 4, 7) : qRgb((i - 56) * 4 + 1, 255 - (i - 56) * 4, 7); };
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Colours"));
    for (int i = 0; i < 80; ++i) {
        CellFormat f;
        f.fill = {FillPattern::Solid, Color::fromRgb(colour(i))};
        setValue(sheet, QStringLiteral("A%1").arg(i + 1), 1.0, book.addFormat(f));
    }
    const Workbook back = roundTrip(book);
    for (int i = 0; i < 80; ++i) {
        const QRgb got = back.format(back.sheet(0).cell({i, 0})->formatIndex).fill.color.rgb & 0xFFFFFF;
        EXPECT_EQ(got, colour(i < 56 ? i : i - 56) & 0xFFFFFF) << i;
    }
}

TEST(XlsRoundTrip, MergesBeyondOneRecordAreSplitAndKept)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Merges"));
    for (int row = 0; row < 2100; ++row)
        sheet.mergedRanges().push_back({row, 0, row, 1 + row % 3});
    const QByteArray stream = workbookStreamOf(writeXlsFile(book));
    int records = 0;
    for (const Record &record : recordsOf(stream))
        records += record.type == rec::MergedCells;
    EXPECT_EQ(records, 3);
    expectSameWorkbook(book, readWorkbookStream(stream));
}

class XlsRuleCount : public ::testing::TestWithParam<int> {};

TEST_P(XlsRuleCount, AtMostThreeRulesPerCondFmtAndEveryRuleReadBack)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Rules"));
    ConditionalFormat format;
    format.ranges = {rangeOf("B2", "C9"), rangeOf("E2", "E9")};
    for (int i = 0; i < GetParam(); ++i) {
        ConditionalRule rule{formula(QStringLiteral("$A2=%1").arg(i)), {}, true};
        rule.style.fill = Fill{FillPattern::Solid, Color::fromRgb(qRgb(10 * i, 0, 0))};
        format.rules.push_back(rule);
    }
    ConditionalFormat other = format;
    other.rules.resize(1);
    sheet.conditionalFormats() = {format, other};
    const QByteArray stream = workbookStreamOf(writeXlsFile(book));
    std::vector<unsigned> ruleCounts;
    for (const Record &record : recordsOf(stream))
        if (record.type == rec::CondFmt)
            ruleCounts.push_back(ByteReader(record.data).u16());
    EXPECT_EQ(ruleCounts, (std::vector<unsigned>{static_cast<unsigned>(std::min(GetParam(), 3)), 1u}));
    expectSameWorkbook(book, readWorkbookStream(stream));
}

INSTANTIATE_TEST_SUITE_P(Counts, XlsRuleCount, ::testing::Values(1, 3, 4, 7, 12));

struct FrozenCase {
    int columns;
    int rows;
};

class XlsFrozenPanes : public ::testing::TestWithParam<FrozenCase> {};

TEST_P(XlsFrozenPanes, SurviveRoundTrip)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("View"));
    sheet.view().frozenColumns = GetParam().columns;
    sheet.view().frozenRows = GetParam().rows;
    sheet.view().activeCell = {GetParam().rows + 3, GetParam().columns + 2};
    sheet.view().selected = true;
    expectSameWorkbook(book, roundTrip(book));
}

INSTANTIATE_TEST_SUITE_P(Panes, XlsFrozenPanes,
                         ::testing::Values(FrozenCase{0, 0}, FrozenCase{7, 0}, FrozenCase{0, 8}, FrozenCase{7, 8},
                                           FrozenCase{250, 1}));

class XlsColumnWidth : public ::testing::TestWithParam<double> {};

TEST_P(XlsColumnWidth, KeepsItsPixelWidth)
{
    Workbook book;
    Sheet &sheet = book.addSheet(QStringLiteral("Widths"));
    sheet.setColumnInfo(3, {GetParam(), false, 0});
    const double back = roundTrip(book).sheet(0).columnInfo(3)->width;
    EXPECT_EQ(std::lround(back * 7 + 5), std::lround(std::floor(GetParam() * 7 + 0.5) + 5)) << back;
    EXPECT_NEAR(back, GetParam(), 0.08);
}

INSTANTIATE_TEST_SUITE_P(Widths, XlsColumnWidth,
                         ::testing::Values(0.75, 1.375, 2.0, 2.125, 5.75, 8.43, 25.875, 100.0, 255.0));

TEST(XlsRoundTrip, OversizedSizesAreClampedToWhatTheFormatHolds)
{
    Workbook book;
    CellFormat huge;
    huge.font.size = 5000;
    Sheet &sheet = book.addSheet(QStringLiteral("Sizes"));
    setValue(sheet, "A1", 1.0, book.addFormat(huge));
    sheet.setColumnInfo(0, {300, false, 0});
    sheet.setRowInfo(0, {5000, true, false, std::nullopt});
    const QByteArray first = writeXlsFile(book);
    const Workbook back = readXlsFile(first);
    EXPECT_NEAR(back.sheet(0).columnInfo(0)->width, 255.29, 0.01);
    EXPECT_DOUBLE_EQ(back.sheet(0).rowInfo(0)->height, 0x7FFF / 20.0);
    EXPECT_DOUBLE_EQ(back.format(back.sheet(0).cell({0, 0})->formatIndex).font.size, 8191 / 20.0);
    EXPECT_EQ(writeXlsFile(back), first);
}

TEST(XlsRoundTrip, ActiveSheetAndEmptySheetsSurvive)
{
    Workbook book;
    book.addSheet(QStringLiteral("One"));
    book.addSheet(QStringLiteral("Two")).view().selected = true;
    book.addSheet(QStringLiteral("Three"));
    book.setActiveSheet(1);
    expectSameWorkbook(book, roundTrip(book));
}

TEST(XlsRoundTrip, RuleWithoutFormulaIsRefused)
{
    Workbook book;
    ConditionalFormat format;
    format.ranges = {rangeOf("A1", "A2")};
    format.rules.push_back(ConditionalRule{});
    book.addSheet(QStringLiteral("Rules")).conditionalFormats() = {format};
    EXPECT_THROW(writeXlsFile(book), orv::Failure);
}

TEST(XlsRoundTrip, MissingCellFormatIsRefused)
{
    for (int place = 0; place < 3; ++place) {
        Workbook book;
        Sheet &sheet = book.addSheet(QStringLiteral("Formats"));
        if (place == 0)
            setValue(sheet, "A1", 1.0, 7);
        else if (place == 1)
            sheet.setColumnInfo(2, {5, false, 7});
        else
            sheet.setRowInfo(2, {15, false, false, 7});
        EXPECT_THROW(writeXlsFile(book), orv::Failure) << place;
    }
}

TEST(XlsRoundTrip, WorkbookWithoutSheetsIsRefused)
{
    EXPECT_THROW(writeXlsFile(Workbook{}), orv::Failure);
}

} // namespace
