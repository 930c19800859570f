// Checks written workbooks against LibreOffice and Gnumeric: both open our
// files, compute every formula and report sheets, merges, sizes, panes,
// print areas and conditional formats as we wrote them; and our reader
// reads their re-saved .xls files back.

#include "OracleFiles.h"
#include "XlsTestWorkbooks.h"

#include "sheet/xls/XlsFile.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace orv::sheet;
using namespace orv::sheet::xls;
using namespace orv::sheet::xls::testing;

namespace {

struct FormulaCheck {
    int row; // 0-based, column B
    FormulaPtr formula;
    Value value;
    QString text; // as LibreOffice prints it
};

double todaySerial() { return QDate(1899, 12, 30).daysTo(QDate::currentDate()); }

std::vector<FormulaCheck> formulaChecks()
{
    const double today = todaySerial();
    return {
        {2, op(Operator::Add, ref("B1"), ref("C1")), 7.5, "B1+C1"},
        {3, op(Operator::Multiply, ref("$B$1"), ref("C$1")), 13.5, "$B$1*C$1"},
        {4, fn("IF", {op(Operator::Greater, ref("B1"), num(2)), str("big"), str("small")}), QStringLiteral("big"),
         "IF(B1>2,\"big\",\"small\")"},
        {5, fn("MIN", {area("B1", "C1")}), 3.0, "MIN(B1:C1)"},
        {6, fn("MAX", {area("B1", "C1")}), 4.5, "MAX(B1:C1)"},
        {7, fn("SUM", {area("B1", "C1"), num(10)}), 17.5, "SUM(B1:C1,10)"},
        {8, fn("AND", {ref("D1"), op(Operator::Greater, ref("B1"), num(1))}), true, "AND(D1,B1>1)"},
        {9, fn("OR", {op(Operator::Greater, ref("B1"), num(5)), op(Operator::Less, ref("B1"), num(1))}), false,
         "OR(B1>5,B1<1)"},
        {10, fn("NOT", {ref("D1")}), false, "NOT(D1)"},
        {11, fn("DATE", {num(2016), num(12), num(1)}), 42705.0, "DATE(2016,12,1)"},
        {12, fn("YEAR", {ref("H1")}), 2016.0, "YEAR(H1)"},
        {13, fn("MONTH", {ref("H1")}), 12.0, "MONTH(H1)"},
        {14, fn("DAY", {ref("H1")}), 1.0, "DAY(H1)"},
        {15, fn("WEEKDAY", {ref("H1")}), 5.0, "WEEKDAY(H1)"},
        {16, fn("WEEKDAY", {ref("H1"), num(2)}), 4.0, "WEEKDAY(H1,2)"},
        {17, fn("TODAY"), today, "TODAY()"},
        {18, op(Operator::Subtract, fn("INT", {fn("NOW")}), fn("TODAY")), 0.0, "INT(NOW())-TODAY()"},
        {19, op(Operator::Multiply, ref("A1", QStringLiteral("Hidden")), num(2)), 42.0, "Hidden!A1*2"},
        {20, op(Operator::Concatenate, str("a"), ref("F1")), QStringLiteral("aGröße ✓"), "\"a\"&F1"},
        {21, fn("ROUND", {op(Operator::Divide, ref("C1"), num(7)), num(3)}), 0.643, "ROUND(C1/7,3)"},
        {22, fn("MOD", {num(7), num(3)}), 1.0, "MOD(7,3)"},
        {23, fn("ABS", {op(Operator::Negate, num(2))}), 2.0, "ABS(-2)"},
        {24, fn("LEN", {ref("F1")}), 7.0, "LEN(F1)"},
        {25, op(Operator::Power, op(Operator::Negate, ref("B1")), num(2)), 9.0, "-B1^2"},
        {26, op(Operator::Percent, num(10)), 0.1, "10%"},
        {27, fn("COUNT", {area("A1", "C1")}), 2.0, "COUNT(A1:C1)"},
        {28, fn("COUNTA", {area("A1", "H1")}), 8.0, "COUNTA(A1:H1)"},
        {29,
         fn("IF", {op(Operator::NotEqual, fn("MONTH", {ref("H1")}), fn("MONTH", {op(Operator::Add, ref("H1"), num(31))})),
                   ref("H1"), str("")}),
         42705.0, "IF(MONTH(H1)<>MONTH(H1+31),H1,\"\")"},
        {30, fn("MAX", {fn("MIN", {area("B12", "B13")}), op(Operator::Subtract, fn("TODAY"), num(30))}), today - 30,
         "MAX(MIN(B12:B13),TODAY()-30)"},
        {31, fn("CONCATENATE", {str("x"), ref("B1")}), QStringLiteral("x3"), "CONCATENATE(\"x\",B1)"},
        {32, fn("ISBLANK", {ref("Z99")}), true, "ISBLANK(Z99)"},
        {33, fn("CHOOSE", {num(2), str("a"), str("b")}), QStringLiteral("b"), "CHOOSE(2,\"a\",\"b\")"},
        {34, op(Operator::Divide, num(1), num(0)), ErrorCode::Div0, "1/0"},
        {35, op(Operator::Multiply, paren(op(Operator::Add, ref("B1"), num(1))), num(2)), 8.0, "(B1+1)*2"},
        {36, op(Operator::GreaterOrEqual, ref("B1"), ref("C1")), false, "B1>=C1"},
        {37, fn("ISERROR", {ref("E1")}), true, "ISERROR(E1)"},
        {38, fn("ISNA", {ref("E1")}), true, "ISNA(E1)"},
        {39, fn("INT", {num(4.7)}), 4.0, "INT(4.7)"},
        {40, fn("ROUNDUP", {num(1.21), num(1)}), 1.3, "ROUNDUP(1.21,1)"},
        {41, fn("ROUNDDOWN", {num(1.29), num(1)}), 1.2, "ROUNDDOWN(1.29,1)"},
        {42, fn("SUMIF", {area("B1", "C1"), str(">3")}), 4.5, "SUMIF(B1:C1,\">3\")"},
        {43, fn("COUNTIF", {area("B1", "C1"), str(">3")}), 1.0, "COUNTIF(B1:C1,\">3\")"},
        {44, fn("UPPER", {str("ab")}), QStringLiteral("AB"), "UPPER(\"ab\")"},
        {45, fn("LOWER", {str("AB")}), QStringLiteral("ab"), "LOWER(\"AB\")"},
        {46, fn("LEFT", {str("abc"), num(2)}), QStringLiteral("ab"), "LEFT(\"abc\",2)"},
        {47, fn("RIGHT", {str("abc")}), QStringLiteral("c"), "RIGHT(\"abc\")"},
        {48, fn("MID", {str("abcd"), num(2), num(2)}), QStringLiteral("bc"), "MID(\"abcd\",2,2)"},
        {49, fn("TRIM", {str("  a  b ")}), QStringLiteral("a b"), "TRIM(\"  a  b \")"},
        {50, fn("AVERAGE", {area("B1", "C1")}), 3.75, "AVERAGE(B1:C1)"},
        {51, fn("SIGN", {op(Operator::Negate, num(3))}), -1.0, "SIGN(-3)"},
        {52, fn("HOUR", {num(0.75)}), 18.0, "HOUR(0.75)"},
        {53, fn("MINUTE", {num(0.75)}), 0.0, "MINUTE(0.75)"},
        {54, fn("SECOND", {fn("TIME", {num(1), num(2), num(3)})}), 3.0, "SECOND(TIME(1,2,3))"},
        {55, fn("TIME", {num(12), num(0), num(0)}), 0.5, "TIME(12,0,0)"},
        {56, fn("VALUE", {str("12")}), 12.0, "VALUE(\"12\")"},
        {57, fn("DAYS360", {ref("H1"), op(Operator::Add, ref("H1"), num(30))}), 30.0, "DAYS360(H1,H1+30)"},
        {58, fn("NA"), ErrorCode::NA, "NA()"},
        {59, fn("ROW"), 60.0, "ROW()"},
        {60, fn("COLUMN", {ref("C5")}), 3.0, "COLUMN(C5)"},
        {61, fn("SUM", {area("B3", "$B$5")}), 21.0, "SUM(B3:$B$5)"},
    };
}

// A workbook of every cell type and each function, with its results.
Workbook oracleWorkbook()
{
    Workbook book;
    Sheet &data = book.addSheet(QStringLiteral("Data"));
    Sheet &hidden = book.addSheet(QStringLiteral("Hidden"));
    hidden.setVisibility(SheetVisibility::Hidden);
    book.addSheet(QStringLiteral("Secret")).setVisibility(SheetVisibility::VeryHidden);
    setValue(hidden, "A1", 21.0);

    CellFormat date;
    date.numberFormat = QStringLiteral("m/d/yyyy");
    CellFormat bold;
    bold.font.bold = true;
    bold.borders.bottom = {BorderStyle::Medium, Color::fromRgb(0x993300)};
    bold.fill = {FillPattern::Solid, Color::fromRgb(0x123456)};
    setValue(data, "A1", QStringLiteral("Name"));
    setValue(data, "B1", 3.0);
    setValue(data, "C1", 4.5);
    setValue(data, "D1", true);
    setValue(data, "E1", ErrorCode::NA);
    setValue(data, "F1", QStringLiteral("Größe ✓"));
    setValue(data, "G1", QString(9000, QChar(0x263A)));
    setValue(data, "H1", 42705.0, book.addFormat(date));
    setValue(data, "I1", Value{}, book.addFormat(bold));
    setValue(data, "J1", QString(10000, QLatin1Char('q')));
    for (const FormulaCheck &check : formulaChecks()) {
        Cell cell;
        cell.formula = check.formula;
        cell.value = check.value;
        data.setCell({check.row, 1}, cell);
    }
    data.setColumnInfo(0, {1.43, false, 0});
    data.setColumnInfo(1, {12.0, false, 0});
    data.setColumnInfo(2, {25.86, false, 0});
    data.setColumnInfo(10, {2.0, true, 0});
    data.setRowInfo(1, {18.75, true, false, std::nullopt});
    data.setRowInfo(7, {3.75, true, true, std::nullopt});
    data.mergedRanges() = {rangeOf("K2", "M3"), rangeOf("K10", "K12")};
    data.view().frozenColumns = 2;
    data.view().frozenRows = 1;
    data.view().showGridlines = false;
    data.view().selected = true;
    data.printAreas().printArea = {rangeOf("A1", "C20")};
    data.printAreas().titleColumns = CellRange{0, 0, kMaxRows - 1, 1};
    data.printAreas().titleRows = CellRange{0, 0, 1, kMaxColumns - 1};

    ConditionalFormat cells;
    cells.ranges = {rangeOf("D5", "F9"), rangeOf("H5", "J9")};
    ConditionalRule large{op(Operator::Greater, ref("$B5"), num(5)), {}, true};
    large.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0xFFFF99)};
    ConditionalRule marked{fn("AND", {op(Operator::Greater, ref("D$4"), num(0)), op(Operator::NotEqual, ref("$C5"), str(""))}),
                           {}, true};
    marked.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0x33CCCC)};
    marked.style.fontColor = Color::fromRgb(0x000080);
    ConditionalRule peak{op(Operator::Equal, ref("D5"), fn("MAX", {area("$D5", "$F5")})), {}, true};
    peak.style.bold = true;
    cells.rules = {large, marked, peak};
    ConditionalFormat names;
    names.ranges = {rangeOf("A12", "A14")};
    ConditionalRule same{op(Operator::Equal, ref("A12"), ref("A13")), {}, true};
    same.style.borders = Borders{{BorderStyle::Thin, Color{}}, {BorderStyle::Thin, Color{}}, {}, {}};
    names.rules = {same};
    data.conditionalFormats() = {cells, names};
    return book;
}

// Converts the written files once for the whole suite.
class XlsApplications : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sDir = std::make_unique<QTemporaryDir>();
        const QString dir = sDir->path();
        QDir().mkpath(dir + QStringLiteral("/xlsx"));
        QDir().mkpath(dir + QStringLiteral("/resaved"));
        sOurs = std::make_unique<Workbook>(oracleWorkbook());
        saveWorkbookAs(*sOurs, path("data.xls"), kFileFormatExcel8);
        saveWorkbookAs(richWorkbook(), path("rich.xls"), kFileFormatExcel8);

        const QString profile = QStringLiteral("-env:UserInstallation=file://") + dir + QStringLiteral("/profile");
        const QStringList inputs = {path("data.xls"), path("rich.xls")};
        sLog.clear();
        QString log;
        runProgram(QStringLiteral("soffice"), QStringList{profile, QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                                          QStringLiteral("xlsx"), QStringLiteral("--outdir"), path("xlsx")} + inputs,
                   &log, 120000);
        sLog += log;
        runProgram(QStringLiteral("soffice"), QStringList{profile, QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                                          QStringLiteral("xls"), QStringLiteral("--outdir"), path("resaved")} + inputs,
                   &log, 120000);
        sLog += log;
        runProgram(QStringLiteral("ssconvert"), {QStringLiteral("--recalc"), QStringLiteral("-S"), QStringLiteral("-T"),
                                                 QStringLiteral("Gnumeric_stf:stf_csv"), path("data.xls"), path("data.csv.%n")},
                   &log);
        sLog += log;
        runProgram(QStringLiteral("ssconvert"), {QStringLiteral("--recalc"), QStringLiteral("-T"),
                                                 QStringLiteral("Gnumeric_Excel:excel_biff8"), path("data.xls"),
                                                 path("gnumeric.xls")},
                   &log);
        sLog += log;
    }
    static void TearDownTestSuite()
    {
        sOurs.reset();
        sDir.reset();
    }

    static QString path(const char *name) { return sDir->path() + QLatin1Char('/') + QLatin1String(name); }

    static XlsxBook converted(const char *name)
    {
        const QString file = sDir->path() + QStringLiteral("/xlsx/") + QLatin1String(name);
        EXPECT_TRUE(QFile::exists(file)) << sLog.toStdString();
        return readXlsx(file);
    }

    static inline std::unique_ptr<QTemporaryDir> sDir;
    static inline std::unique_ptr<Workbook> sOurs;
    static inline QString sLog;
};

QString a1(int row, int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar('A' + (c - 1) % 26));
    return name + QString::number(row + 1);
}

// Compares a value as an application wrote it in text with ours.
void expectValueText(const Value &ours, const QString &theirs, const QString &where)
{
    if (const double *number = std::get_if<double>(&ours)) {
        bool ok = false;
        const double value = theirs.toDouble(&ok);
        EXPECT_TRUE(ok) << where.toStdString() << ": " << theirs.toStdString();
        EXPECT_NEAR(value, *number, 1e-9) << where.toStdString();
    } else if (const bool *boolean = std::get_if<bool>(&ours)) {
        EXPECT_TRUE(theirs == (*boolean ? "TRUE" : "FALSE") || theirs == (*boolean ? "1" : "0"))
            << where.toStdString() << ": " << theirs.toStdString();
    } else if (const ErrorCode *error = std::get_if<ErrorCode>(&ours)) {
        const QString expected = *error == ErrorCode::Div0 ? QStringLiteral("#DIV/0!") : QStringLiteral("#N/A");
        EXPECT_EQ(theirs, expected) << where.toStdString();
    } else if (const QString *text = std::get_if<QString>(&ours)) {
        EXPECT_EQ(theirs, *text) << where.toStdString();
    }
}

TEST_F(XlsApplications, LibreOfficeComputesEveryFormulaAsWeDo)
{
    const XlsxBook book = converted("data.xlsx");
    ASSERT_FALSE(book.sheetData.empty());
    for (const FormulaCheck &check : formulaChecks()) {
        const QString where = a1(check.row, 1);
        const XlsxCell cell = book.sheetData[0].cells.value(where);
        EXPECT_EQ(cell.formula, check.text) << where.toStdString();
        expectValueText(check.value, cell.value, where);
    }
}

TEST_F(XlsApplications, GnumericComputesEveryFormulaAsWeDo)
{
    const auto rows = readCsv(path("data.csv.0"));
    ASSERT_FALSE(rows.empty()) << sLog.toStdString();
    for (const FormulaCheck &check : formulaChecks()) {
        const QString where = a1(check.row, 1);
        ASSERT_LT(check.row, static_cast<int>(rows.size()));
        ASSERT_GT(rows[check.row].size(), 1);
        expectValueText(check.value, rows[check.row][1], where);
    }
}

TEST_F(XlsApplications, ConstantsAndLongTextsArriveIntact)
{
    const XlsxBook book = converted("data.xlsx");
    const auto &cells = book.sheetData[0].cells;
    EXPECT_EQ(cells.value("F1").value, QStringLiteral("Größe ✓"));
    EXPECT_EQ(cells.value("G1").value, QString(9000, QChar(0x263A)));
    EXPECT_EQ(cells.value("J1").value, QString(10000, QLatin1Char('q')));
    EXPECT_EQ(cells.value("C1").value, QStringLiteral("4.5"));
    EXPECT_EQ(cells.value("H1").value, QStringLiteral("42705"));
    EXPECT_TRUE(cells.contains("I1")); // formatted empty cell
}

TEST_F(XlsApplications, SheetNamesAndVisibilityAgree)
{
    const XlsxBook book = converted("data.xlsx");
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[0].name, QStringLiteral("Data"));
    EXPECT_EQ(book.sheets[0].state, QStringLiteral("visible"));
    EXPECT_EQ(book.sheets[1].name, QStringLiteral("Hidden"));
    EXPECT_EQ(book.sheets[1].state, QStringLiteral("hidden"));
    EXPECT_EQ(book.sheets[2].name, QStringLiteral("Secret"));
    EXPECT_NE(book.sheets[2].state, QStringLiteral("visible")); // LibreOffice has no "very hidden"
}

TEST_F(XlsApplications, SizesMergesAndPanesAgree)
{
    const XlsxSheet sheet = converted("data.xlsx").sheetData.at(0);
    // The .xlsx width includes the 5-pixel padding: characters + 5/7.
    EXPECT_NEAR(sheet.columnWidth(1), 1.43 + 5.0 / 7, 0.02);
    EXPECT_NEAR(sheet.columnWidth(2), 12.0 + 5.0 / 7, 0.02);
    EXPECT_NEAR(sheet.columnWidth(3), 25.86 + 5.0 / 7, 0.02);
    EXPECT_NEAR(sheet.rowHeights.value(2), 18.75, 0.01);
    EXPECT_NEAR(sheet.rowHeights.value(8), 3.75, 0.01);
    EXPECT_TRUE(sheet.hiddenRows.value(8));
    QStringList merges = sheet.merges;
    merges.sort();
    EXPECT_EQ(merges, (QStringList{"K10:K12", "K2:M3"}));
    EXPECT_EQ(sheet.paneState, QStringLiteral("frozen"));
    EXPECT_EQ(sheet.xSplit, 2);
    EXPECT_EQ(sheet.ySplit, 1);
    EXPECT_FALSE(sheet.showGridLines);
}

TEST_F(XlsApplications, PrintAreaAndTitlesAgree)
{
    const XlsxBook data = converted("data.xlsx");
    EXPECT_EQ(data.definedNames.value("_xlnm.Print_Area@0"), QStringLiteral("Data!$A$1:$C$20"));
    EXPECT_EQ(data.definedNames.value("_xlnm.Print_Titles@0"), QStringLiteral("Data!$A:$B,Data!$1:$2"));
    const XlsxBook rich = converted("rich.xlsx");
    EXPECT_EQ(rich.definedNames.value("_xlnm.Print_Area@0"), QStringLiteral("'Project Plan'!$H$10:$AN$17"));
    EXPECT_EQ(rich.definedNames.value("_xlnm.Print_Titles@0"), QStringLiteral("'Project Plan'!$A:$G,'Project Plan'!$2:$9"));
}

TEST_F(XlsApplications, ConditionalFormatRangesAndFormulasAgree)
{
    const XlsxSheet data = converted("data.xlsx").sheetData.at(0);
    ASSERT_EQ(data.conditionals.size(), 2u);
    EXPECT_EQ(data.conditionals[0].sqref, QStringLiteral("D5:F9 H5:J9"));
    EXPECT_EQ(data.conditionals[0].formulas,
              (QStringList{"$B5>5", "AND(D$4>0,$C5<>\"\")", "D5=MAX($D5:$F5)"}));
    EXPECT_EQ(data.conditionals[1].sqref, QStringLiteral("A12:A14"));
    EXPECT_EQ(data.conditionals[1].formulas, QStringList{"A12=A13"});
    const XlsxSheet rich = converted("rich.xlsx").sheetData.at(0);
    ASSERT_EQ(rich.conditionals.size(), 2u);
    EXPECT_EQ(rich.conditionals[0].sqref, QStringLiteral("H11:AN12 H20:AN21"));
    EXPECT_EQ(rich.conditionals[0].formulas, (QStringList{"AND($B11<>\"\",$F11>0,H$6>=$D11)", "H$6<=$E11"}));
    EXPECT_EQ(rich.conditionals[1].formulas, QStringList{"MONTH(I6)<>MONTH(H6)"});
}

// The formula with its relative references moved by the given offsets.
FormulaPtr shifted(const FormulaPtr &formula, int rows, int columns)
{
    FormulaNode copy = *formula;
    for (Reference *r : {&copy.ref, &copy.ref2}) {
        if (!r->rowAbsolute)
            r->row += rows;
        if (!r->columnAbsolute)
            r->column += columns;
    }
    for (auto &child : copy.children)
        child = shifted(child, rows, columns);
    return std::make_shared<const FormulaNode>(std::move(copy));
}

std::vector<CellRange> sortedRanges(std::vector<CellRange> ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const CellRange &a, const CellRange &b) {
        return std::tie(a.firstRow, a.firstColumn) < std::tie(b.firstRow, b.firstColumn);
    });
    return ranges;
}

// LibreOffice stores comparison results as numbers and, in this route, text
// results as 0 without their text; our own values must match otherwise.
void expectSameResult(const Value &ours, const Value &theirs, const std::string &where)
{
    if (const bool *b = std::get_if<bool>(&ours); b && std::holds_alternative<double>(theirs)) {
        EXPECT_EQ(std::get<double>(theirs), *b ? 1.0 : 0.0) << where;
        return;
    }
    if (std::holds_alternative<QString>(ours) && std::holds_alternative<double>(theirs))
        return;
    EXPECT_EQ(describe(theirs), describe(ours)) << where;
}

// What a re-saved file must still hold of ours. Applications may reorder
// the ranges of a conditional format; its formulas then refer to the new
// first range.
void expectResavedWorkbook(const Workbook &ours, const Workbook &theirs)
{
    ASSERT_EQ(theirs.sheetCount(), ours.sheetCount());
    for (int s = 0; s < ours.sheetCount(); ++s) {
        EXPECT_EQ(theirs.sheet(s).name(), ours.sheet(s).name());
        EXPECT_EQ(theirs.sheet(s).visibility() == SheetVisibility::Visible,
                  ours.sheet(s).visibility() == SheetVisibility::Visible);
    }
    const Sheet &a = ours.sheet(0), &b = theirs.sheet(0);
    a.forEachCell([&](CellAddress at, const Cell &cell) {
        const std::string where = a1(at.row, at.column).toStdString();
        const Cell *other = b.cell(at);
        ASSERT_NE(other, nullptr) << where;
        if (cell.hasFormula()) {
            expectSameResult(cell.value, other->value, where);
            EXPECT_EQ(describe(other->formula), describe(cell.formula)) << where;
        } else {
            EXPECT_EQ(describe(other->value), describe(cell.value)) << where;
        }
    });
    EXPECT_TRUE(sortedRanges(b.mergedRanges()) == sortedRanges(a.mergedRanges()));
    EXPECT_EQ(b.view().frozenColumns, a.view().frozenColumns);
    EXPECT_EQ(b.view().frozenRows, a.view().frozenRows);
    EXPECT_NEAR(b.columnInfo(2)->width, a.columnInfo(2)->width, 0.15);
    EXPECT_TRUE(b.printAreas().printArea == a.printAreas().printArea);
    ASSERT_EQ(b.conditionalFormats().size(), a.conditionalFormats().size());
    for (size_t i = 0; i < a.conditionalFormats().size(); ++i) {
        const ConditionalFormat &x = a.conditionalFormats()[i], &y = b.conditionalFormats()[i];
        EXPECT_TRUE(sortedRanges(y.ranges) == sortedRanges(x.ranges));
        const int rows = x.ranges.front().firstRow - y.ranges.front().firstRow;
        const int columns = x.ranges.front().firstColumn - y.ranges.front().firstColumn;
        ASSERT_EQ(y.rules.size(), x.rules.size());
        for (size_t r = 0; r < x.rules.size(); ++r)
            EXPECT_EQ(describe(shifted(y.rules[r].formula, rows, columns)), describe(x.rules[r].formula));
    }
}

TEST_F(XlsApplications, OurReaderReadsLibreOfficeResaves)
{
    expectResavedWorkbook(*sOurs, openWorkbook(sDir->path() + QStringLiteral("/resaved/data.xls")));
    const Workbook rich = openWorkbook(sDir->path() + QStringLiteral("/resaved/rich.xls"));
    EXPECT_EQ(rich.sheet(0).conditionalFormats().size(), 2u);
    EXPECT_FALSE(rich.isTemplate());
}

TEST_F(XlsApplications, OurReaderReadsGnumericResaves)
{
    ASSERT_TRUE(QFile::exists(path("gnumeric.xls"))) << sLog.toStdString();
    expectResavedWorkbook(*sOurs, openWorkbook(path("gnumeric.xls")));
}

} // namespace
