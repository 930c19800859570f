// Checks written workbooks against LibreOffice and Gnumeric: both open our
// files, compute every formula and report sheets, merges, sizes, panes,
// print areas and conditional formats as we wrote them; and our reader
// reads their re-saved .xls files back.

#include "OracleFiles.h"
#include "XlsTestWorkbooks.h"

#include "sheet/Clock.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/Recalculation.h"
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
    int row;      // 0-based, column B
    QString text; // as LibreOffice prints it
    Value value;
};

double todaySerial() { return QDate(1899, 12, 30).daysTo(QDate::currentDate()); }

// Each formula with the result the spreadsheet applications compute.
std::vector<FormulaCheck> formulaChecks()
{
    const double today = todaySerial();
    const std::vector<std::pair<QString, Value>> checks = {
        {"B1+C1", 7.5},
        {"$B$1*C$1", 13.5},
        {"IF(B1>2,\"big\",\"small\")", QStringLiteral("big")},
        {"MIN(B1:C1)", 3.0},
        {"MAX(B1:C1)", 4.5},
        {"SUM(B1:C1,10)", 17.5},
        {"AND(D1,B1>1)", true},
        {"OR(B1>5,B1<1)", false},
        {"NOT(D1)", false},
        {"DATE(2016,12,1)", 42705.0},
        {"YEAR(H1)", 2016.0},
        {"MONTH(H1)", 12.0},
        {"DAY(H1)", 1.0},
        {"WEEKDAY(H1)", 5.0},
        {"WEEKDAY(H1,2)", 4.0},
        {"TODAY()", today},
        {"INT(NOW())-TODAY()", 0.0},
        {"Hidden!A1*2", 42.0},
        {"\"a\"&F1", QStringLiteral("aGröße ✓")},
        {"ROUND(C1/7,3)", 0.643},
        {"MOD(7,3)", 1.0},
        {"ABS(-2)", 2.0},
        {"LEN(F1)", 7.0},
        {"-B1^2", 9.0},
        {"10%", 0.1},
        {"COUNT(A1:C1)", 2.0},
        {"IF(MONTH(H1)<>MONTH(H1+31),H1,\"\")", 42705.0},
        {"MAX(MIN(B12:B13),TODAY()-30)", today - 30},
        {"CONCATENATE(\"x\",B1)", QStringLiteral("x3")},
        {"ISBLANK(Z99)", true},
        {"1/0", ErrorCode::Div0},
        {"(B1+1)*2", 8.0},
        {"B1>=C1", false},
        {"ISERROR(E1)", true},
        {"ISNUMBER(C1)", true},
        {"INT(4.7)", 4.0},
        {"AVERAGE(B1:C1)", 3.75},
        {"SUM(B3:$B$5)", 21.0},
        {"IF(H1-DATE(2016,11,30)>=1,MIN(B1,C1),MAX(B1,C1))", 3.0},
        {"WEEKDAY(DATE(2016,12,3))", 7.0},
        // Functions the format stores beyond the engine's own.
        {"ISNA(E1)", true},
        {"ROUNDUP(1.21,1)", 1.3},
        {"ROUNDDOWN(1.29,1)", 1.2},
        {"SUMIF(B1:C1,\">3\")", 4.5},
        {"COUNTIF(B1:C1,\">3\")", 1.0},
        {"CHOOSE(2,\"a\",\"b\")", QStringLiteral("b")},
        {"UPPER(\"ab\")", QStringLiteral("AB")},
        {"LOWER(\"AB\")", QStringLiteral("ab")},
        {"LEFT(\"abc\",2)", QStringLiteral("ab")},
        {"RIGHT(\"abc\")", QStringLiteral("c")},
        {"MID(\"abcd\",2,2)", QStringLiteral("bc")},
        {"TRIM(\"  a  b \")", QStringLiteral("a b")},
        {"SIGN(-3)", -1.0},
        {"HOUR(0.75)", 18.0},
        {"MINUTE(0.75)", 0.0},
        {"SECOND(TIME(1,2,3))", 3.0},
        {"TIME(12,0,0)", 0.5},
        {"VALUE(\"12\")", 12.0},
        {"DAYS360(H1,H1+30)", 30.0},
        {"NA()", ErrorCode::NA},
        {"ROW()", 63.0},
        {"COLUMN(C5)", 3.0},
        {"ISTEXT(F1)", true},
    };
    std::vector<FormulaCheck> result;
    int row = 2;
    for (const auto &[text, value] : checks)
        result.push_back({row++, text, value});
    return result;
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
    for (const char *blank : {"K20", "L20", "M20", "N20", "P20"})
        setValue(data, blank, Value{}, book.formatCount() - 1); // a run of formatted empty cells
    for (const FormulaCheck &check : formulaChecks()) {
        Cell cell;
        cell.formula = parseFormula(check.text);
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
    ConditionalRule large{formula("$B5>5"), {}, true};
    large.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0xFFFF99)};
    ConditionalRule marked{formula("AND(D$4>0,$C5<>\"\")"), {}, true};
    marked.style.fill = Fill{FillPattern::Solid, Color::fromRgb(0x33CCCC)};
    marked.style.fontColor = Color::fromRgb(0x000080);
    ConditionalRule peak{formula("D5=MAX($D5:$F5)"), {}, true};
    peak.style.bold = true;
    cells.rules = {large, marked, peak};
    ConditionalFormat names;
    names.ranges = {rangeOf("A12", "A14")};
    ConditionalRule same{formula("A12=A13"), {}, true};
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

TEST_F(XlsApplications, EngineComputesWhatTheApplicationsCompute)
{
    Workbook book = oracleWorkbook();
    recalculate(book, orv::SystemClock());
    for (const FormulaCheck &check : formulaChecks()) {
        const Value &value = book.sheet(0).cell({check.row, 1})->value;
        if (value == Value{ErrorCode::Name})
            continue; // a function the engine does not evaluate
        const QString where = a1(check.row, 1);
        if (std::holds_alternative<double>(check.value) && std::holds_alternative<double>(value))
            EXPECT_NEAR(std::get<double>(value), std::get<double>(check.value), 1e-9) << where.toStdString();
        else
            EXPECT_EQ(describe(value), describe(check.value)) << where.toStdString();
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
// conditional formats and their ranges; the formulas then refer to the new
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
    // The look of formatted cells: fonts, fills, borders and their colours.
    a.forEachCell([&](CellAddress at, const Cell &cell) {
        if (cell.formatIndex == 0 || !b.cell(at))
            return;
        const std::string where = a1(at.row, at.column).toStdString();
        const CellFormat &x = ours.format(cell.formatIndex), &y = theirs.format(b.cell(at)->formatIndex);
        EXPECT_EQ(y.font.bold, x.font.bold) << where;
        EXPECT_TRUE(y.fill == x.fill) << where;
        EXPECT_TRUE(y.borders == x.borders) << where;
    });
    EXPECT_TRUE(sortedRanges(b.mergedRanges()) == sortedRanges(a.mergedRanges()));
    EXPECT_EQ(b.view().frozenColumns, a.view().frozenColumns);
    EXPECT_EQ(b.view().frozenRows, a.view().frozenRows);
    EXPECT_NEAR(b.columnInfo(2)->width, a.columnInfo(2)->width, 0.15);
    EXPECT_TRUE(b.printAreas().printArea == a.printAreas().printArea);
    ASSERT_EQ(b.conditionalFormats().size(), a.conditionalFormats().size());
    for (const ConditionalFormat &x : a.conditionalFormats()) {
        const auto found = std::find_if(b.conditionalFormats().begin(), b.conditionalFormats().end(),
                                        [&](const ConditionalFormat &y) { return sortedRanges(y.ranges) == sortedRanges(x.ranges); });
        ASSERT_NE(found, b.conditionalFormats().end());
        const ConditionalFormat &y = *found;
        const int rows = x.ranges.front().firstRow - y.ranges.front().firstRow;
        const int columns = x.ranges.front().firstColumn - y.ranges.front().firstColumn;
        ASSERT_EQ(y.rules.size(), x.rules.size());
        for (size_t r = 0; r < x.rules.size(); ++r) {
            EXPECT_EQ(describe(shifted(y.rules[r].formula, rows, columns)), describe(x.rules[r].formula));
            EXPECT_TRUE(y.rules[r].style.fill == x.rules[r].style.fill) << r;
            if (x.rules[r].style.fontColor) {
                EXPECT_TRUE(y.rules[r].style.fontColor == x.rules[r].style.fontColor) << r;
            }
            if (x.rules[r].style.bold) {
                EXPECT_EQ(y.rules[r].style.bold.value_or(false), *x.rules[r].style.bold) << r;
            }
        }
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
