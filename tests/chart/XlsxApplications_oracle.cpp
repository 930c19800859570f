// The chart template, the sample chart and a 200-task chart written as
// .xlsx and read back by openpyxl, LibreOffice and Gnumeric. One table holds
// the model's features and what openpyxl reads of each; LibreOffice must show
// our stored formula results and compute the same ones, Gnumeric must compute
// the same, and the .xls and .xlsx files of a chart must give LibreOffice the
// same values.

#include "ChartBuilderFixture.h"
#include "TemplateUnderTest.h"
#include "chart/XlsxExport.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/render/ScreenFonts.h"
#include "sheet/render/SheetGeometry.h"
#include "sheet/xls/SheetUnits.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <map>

namespace orv::chart::test {
namespace {

using namespace sheet;
using sheet::Cell;
using sheet::Sheet;
using sheet::Workbook;

QString cellName(int row, int column) { return columnName(column) + QString::number(row + 1); }

QString rangeName(const CellRange &range)
{
    const QString first = cellName(range.firstRow, range.firstColumn);
    return range.rowCount() == 1 && range.columnCount() == 1
               ? first
               : first + QLatin1Char(':') + cellName(range.lastRow, range.lastColumn);
}

QByteArray runOrFail(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// The project of the sample data, and the sample's shape scaled up.
ProjectLists sampleProject()
{
    ProjectLists lists;
    lists.categories = {{QStringLiteral("Research")}, {QStringLiteral("Development")}};
    lists.tasks = {{"Initial researching", "80", "8/11/2016", "8/24/2016", "Research", ""},
                   {"Draft project", "10", "8/23/2016", "11/24/2016", "Development", ""}};
    lists.events = {{"General meeting", "8/12/2016", "8/12/2016"}};
    return lists;
}

ProjectLists largeProject(int tasks)
{
    const QDate start = QDate::currentDate().addDays(-20);
    ProjectLists lists;
    for (int c = 0; c < tasks / 50; ++c)
        lists.categories.push_back({QStringLiteral("Category %1").arg(c + 1)});
    auto date = [&](int days) { return start.addDays(days).toString(QStringLiteral("M/d/yyyy")); };
    for (int t = 0; t < tasks; ++t)
        lists.tasks.push_back({QStringLiteral("Task %1").arg(t + 1), QString::number(t * 7 % 101), date(t % 60),
                               date(t % 60 + 5 + t % 40), QStringLiteral("Category %1").arg(t % (tasks / 50) + 1),
                               t % 4 == 3 ? QStringLiteral("V") : QString()});
    for (int e = 0; e < 5; ++e)
        lists.events.push_back({QStringLiteral("Event %1").arg(e + 1), date(10 + 9 * e), date(11 + 9 * e)});
    return lists;
}

// Builds the chart as "Create Template!" does, on today's date, and keeps
// its workbook at `xlsPath`.
void buildChart(const ProjectLists &lists, const QString &xlsPath)
{
    orv::test::ScriptedServices scripted;
    scripted.clock.at = QDateTime::currentDateTime();
    EngineApplicationFactory engine(scripted.clock, QLocale(QLocale::English, QLocale::UnitedStates));
    scripted.services.spreadsheets = &engine;
    RecordingWindow window;
    RecordingPreview preview;
    ChartBuilder builder({scripted.services, lists, window, preview, [] { return loadCustomResource(101); }}, kSeed);
    builder.PushButton6_Click();
    ASSERT_TRUE(scripted.messages.shown.empty()) << scripted.messages.shown.front().text.toStdString();
    ASSERT_TRUE(QFile::copy(preview.excelFile, xlsPath));
}

struct Subject {
    const char *name;
    // Writes the subject's .xls file; its .xlsx is made from it.
    std::function<void(const QString &xlsPath)> writeXls;
};

void PrintTo(const Subject &subject, std::ostream *out) { *out << subject.name; }

const Subject kSubjects[] = {
    {"template",
     [](const QString &xlsPath) {
         Workbook book = testing::readChartTemplate();
         const orv::test::FixedClock today(QDateTime::currentDateTime());
         recalculate(book, today);
         xls::saveWorkbookAs(book, xlsPath, xls::kFileFormatExcel8);
     }},
    {"sample", [](const QString &xlsPath) { buildChart(sampleProject(), xlsPath); }},
    {"200 tasks", [](const QString &xlsPath) { buildChart(largeProject(200), xlsPath); }},
};

// Every subject written once, with what each application read of it.
struct Readings {
    Workbook model;
    QString xls, xlsx;
    QJsonArray openpyxl;        // per sheet
    QJsonObject libreOffice;    // the .xlsx
    QJsonObject libreOfficeXls; // the .xls
    Workbook gnumeric;          // the .xlsx recalculated and saved as .xls
};

// Each subject is written and read once per test program, when first asked.
class XlsxInApplications {
public:
    static const Readings &of(const Subject &subject)
    {
        static XlsxInApplications all;
        auto found = all.mReadings.find(QString::fromLatin1(subject.name));
        if (found == all.mReadings.end())
            found = all.mReadings.emplace(QString::fromLatin1(subject.name), all.read(subject)).first;
        return found->second;
    }

private:
    Readings read(const Subject &subject)
    {
        Readings readings;
        const QString base = mFolder.filePath(QString::fromLatin1(subject.name).replace(u' ', u'-'));
        readings.xls = base + QStringLiteral(".xls");
        readings.xlsx = base + QStringLiteral(".xlsx");
        subject.writeXls(readings.xls);
        readings.model = xls::openWorkbook(readings.xls);
        saveChartWorkbookAsXlsx(readings.xls, readings.xlsx);
        readings.openpyxl = QJsonDocument::fromJson(
                                runOrFail(QStringLiteral("/usr/bin/python3"),
                                          {QStringLiteral(ORVANTIS_SOURCE_DIR "/tests/chart/xlsx_openpyxl.py"),
                                           readings.xlsx}))
                                .object()[u"sheets"]
                                .toArray();
        const QString gnumeric = base + QStringLiteral("-gnumeric.xls");
        runOrFail(QStringLiteral("ssconvert"), {QStringLiteral("--recalc"), QStringLiteral("-T"),
                                                 QStringLiteral("Gnumeric_Excel:excel_biff8"), readings.xlsx, gnumeric});
        readings.gnumeric = xls::openWorkbook(gnumeric);
        const QJsonObject office = QJsonDocument::fromJson(
                                       runOrFail(QStringLiteral("/usr/bin/python3"),
                                                 {QStringLiteral(ORVANTIS_SOURCE_DIR "/tests/sheet/libreoffice_values.py"),
                                                  base + QStringLiteral("-profile"), readings.xlsx, readings.xls}))
                                       .object();
        readings.libreOffice = office[readings.xlsx].toObject();
        readings.libreOfficeXls = office[readings.xls].toObject();
        return readings;
    }

    QTemporaryDir mFolder;
    std::map<QString, Readings> mReadings;
};

// A value as both sides are compared: numbers to 12 significant digits,
// booleans and texts as texts, nothing as an empty text.
QJsonValue comparable(const Value &value)
{
    if (const double *number = std::get_if<double>(&value))
        return QString::number(*number, 'g', 12);
    if (const QString *text = std::get_if<QString>(&value))
        return *text;
    if (const bool *boolean = std::get_if<bool>(&value))
        return *boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (const ErrorCode *error = std::get_if<ErrorCode>(&value))
        return errorText(*error);
    return QString();
}

QJsonValue comparable(const QJsonValue &value)
{
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 12);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return value.toString();
}

// The pixels a reader makes of a stored column width (characters of 7 px).
int widthPixels(double width) { return int(std::trunc((256 * width + std::trunc(128.0 / 7)) / 256 * 7)); }

struct Sides {
    QJsonValue ours;
    QJsonValue theirs;
};
using Feature = std::function<Sides(const Workbook &, int sheet, const QJsonObject &openpyxl)>;
using NamedFeature = std::pair<const char *, Feature>;

QJsonObject formulaResults(const Sheet &sheet)
{
    QJsonObject values;
    sheet.forEachFormulaCell(
        [&](CellAddress at, const Cell &cell) { values[cellName(at.row, at.column)] = comparable(cell.value); });
    return values;
}

QJsonObject comparableObject(const QJsonObject &object)
{
    QJsonObject result;
    for (auto it = object.begin(); it != object.end(); ++it)
        result[it.key()] = comparable(it.value());
    return result;
}

const NamedFeature kFeatures[] = {
    {"state",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         return {book.sheet(s).visibility() == SheetVisibility::Visible ? "visible" : "hidden", theirs[u"state"]};
     }},
    {"column widths in pixels",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         const int mdw = maximumDigitWidth(book.format(0).font);
         QJsonObject ours, read;
         for (int column = 0; column < kMaxColumns; ++column)
             if (const ColumnInfo *info = book.sheet(s).columnInfo(column))
                 ours[columnName(column)] = QJsonArray{pixels::columnWidth(info->width, mdw), info->hidden};
         for (const QJsonValue &entry : theirs[u"columns"].toArray()) {
             const QJsonArray c = entry.toArray();
             for (int column = c[0].toInt(); column <= c[1].toInt(); ++column)
                 read[columnName(column - 1)] = QJsonArray{widthPixels(c[2].toDouble()), c[3].toBool()};
         }
         return {ours, read};
     }},
    {"row heights",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         const Sheet &sheet = book.sheet(s);
         QJsonObject ours, read;
         const QJsonObject rows = theirs[u"rows"].toObject();
         for (int row = 0; row <= sheet.lastRow(); ++row) {
             if (!sheet.rowInfo(row))
                 continue;
             const QString key = QString::number(row + 1);
             ours[key] = xls::pointsToTwips(sheet.rowHeight(row)) / 20.0;
             read[key] = rows.contains(key) ? rows[key].toDouble() : sheet.defaultRowHeight();
         }
         return {ours, read};
     }},
    {"merged ranges",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         QStringList ours;
         for (const CellRange &range : book.sheet(s).mergedRanges())
             if (range.rowCount() > 1 || range.columnCount() > 1)
                 ours << rangeName(range);
         ours.sort();
         return {QJsonArray::fromStringList(ours), theirs[u"merges"]};
     }},
    {"frozen panes, gridlines and active cell",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         const SheetView &view = book.sheet(s).view();
         const bool frozen = view.frozenRows > 0 || view.frozenColumns > 0;
         return {QJsonArray{frozen ? cellName(view.frozenRows, view.frozenColumns) : QString(), view.showGridlines,
                            cellName(view.activeCell.row, view.activeCell.column)},
                 QJsonArray{theirs[u"frozen"], theirs[u"gridlines"], theirs[u"activeCell"]}};
     }},
    {"page setup and footer",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         const PageSetup &page = book.sheet(s).pageSetup();
         return {QJsonArray{page.orientation == Orientation::Landscape ? "landscape" : "portrait", page.paperSize,
                            page.scale, page.footer},
                 QJsonArray{theirs[u"orientation"], theirs[u"paperSize"], theirs[u"scale"], theirs[u"footer"]}};
     }},
    {"print area and titles",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         const PrintAreas &areas = book.sheet(s).printAreas();
         QJsonArray area;
         for (const CellRange &range : areas.printArea)
             area.append(QStringLiteral("$%1$%2:$%3$%4")
                             .arg(columnName(range.firstColumn))
                             .arg(range.firstRow + 1)
                             .arg(columnName(range.lastColumn))
                             .arg(range.lastRow + 1));
         const QString rows = areas.titleRows ? QStringLiteral("$%1:$%2")
                                                    .arg(areas.titleRows->firstRow + 1)
                                                    .arg(areas.titleRows->lastRow + 1)
                                              : QString();
         const QString columns = areas.titleColumns ? QStringLiteral("$%1:$%2")
                                                          .arg(columnName(areas.titleColumns->firstColumn),
                                                               columnName(areas.titleColumns->lastColumn))
                                                    : QString();
         return {QJsonArray{area, rows, columns},
                 QJsonArray{theirs[u"printArea"], theirs[u"printTitleRows"], theirs[u"printTitleColumns"]}};
     }},
    // Every rule in the order of precedence, with its ranges, formula,
    // stop-if-true and fill.
    {"conditional formats",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         QJsonArray ours;
         for (const ConditionalFormat &format : book.sheet(s).conditionalFormats()) {
             QStringList ranges;
             for (const CellRange &range : format.ranges)
                 ranges << rangeName(range);
             for (const ConditionalRule &rule : format.rules) {
                 const QJsonValue fill = rule.style.fill ? QJsonValue(QStringLiteral("%1").arg(
                                                               rule.style.fill->color.rgb & 0xFFFFFF, 6, 16, QChar(u'0')).toUpper())
                                                         : QJsonValue();
                 ours.append(QJsonArray{ranges.join(u' '), printFormula(*rule.formula), rule.stopIfTrue, fill});
             }
         }
         std::map<int, QJsonArray> byPriority;
         for (const QJsonValue &format : theirs[u"conditionalFormats"].toArray()) {
             QStringList ranges;
             for (const QJsonValue &range : format[u"ranges"].toArray())
                 ranges << range.toString();
             for (const QJsonValue &rule : format[u"rules"].toArray())
                 byPriority[rule[u"priority"].toInt()] = QJsonArray{ranges.join(u' '), rule[u"formula"][0],
                                                                    rule[u"stopIfTrue"], rule[u"fill"]};
         }
         QJsonArray read;
         for (const auto &[priority, rule] : byPriority)
             read.append(rule);
         return {ours, read};
     }},
    {"formulas",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         QJsonObject ours;
         book.sheet(s).forEachFormulaCell([&](CellAddress at, const Cell &cell) {
             ours[cellName(at.row, at.column)] = QLatin1Char('=') + printFormula(*cell.formula);
         });
         return {ours, theirs[u"formulas"]};
     }},
    // The size a cell's own format gives its text: a reader applies a row's
    // format only to the cells that have none.
    {"font sizes of the cells that hold something",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         QJsonObject ours;
         book.sheet(s).forEachCell([&](CellAddress at, const Cell &cell) {
             if (cell.hasFormula() || !isEmpty(cell.value))
                 ours[cellName(at.row, at.column)] = book.format(cell.formatIndex).font.size;
         });
         return {ours, theirs[u"fontSizes"]};
     }},
    {"stored formula results",
     [](const Workbook &book, int s, const QJsonObject &theirs) -> Sides {
         return {formulaResults(book.sheet(s)), comparableObject(theirs[u"values"].toObject())};
     }},
};

// The table: every feature of the model against what openpyxl read.
class XlsxFeatureTable : public ::testing::TestWithParam<Subject> {};

TEST_P(XlsxFeatureTable, OpenpyxlReadsWhatTheModelHolds)
{
    const Readings &readings = XlsxInApplications::of(GetParam());
    ASSERT_EQ(readings.openpyxl.size(), readings.model.sheetCount());
    for (const auto &[name, feature] : kFeatures) {
        SCOPED_TRACE(name);
        for (int s = 0; s < readings.model.sheetCount(); ++s) {
            const QJsonObject theirs = readings.openpyxl[s].toObject();
            EXPECT_EQ(theirs[u"name"].toString(), readings.model.sheet(s).name());
            const Sides sides = feature(readings.model, s, theirs);
            EXPECT_EQ(sides.ours, sides.theirs)
                << "sheet " << s << "\nours:   "
                << QJsonDocument(QJsonArray{sides.ours}).toJson(QJsonDocument::Compact).toStdString() << "\ntheirs: "
                << QJsonDocument(QJsonArray{sides.theirs}).toJson(QJsonDocument::Compact).toStdString();
        }
    }
}

std::string subjectName(const ::testing::TestParamInfo<Subject> &info)
{
    std::string name = info.param.name;
    for (char &c : name)
        if (c == ' ')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Subjects, XlsxFeatureTable, ::testing::ValuesIn(kSubjects), subjectName);

class XlsxValues : public ::testing::TestWithParam<Subject> {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
            GTEST_SKIP() << "LibreOffice or Gnumeric is not installed";
    }
    const Readings &readings() const { return XlsxInApplications::of(GetParam()); }
};

TEST_P(XlsxValues, LibreOfficeShowsOurResultsAndComputesTheSame)
{
    const QJsonArray sheets = readings().libreOffice[u"sheets"].toArray();
    ASSERT_EQ(sheets.size(), readings().model.sheetCount());
    for (int s = 0; s < sheets.size(); ++s) {
        const QJsonObject ours = formulaResults(readings().model.sheet(s));
        EXPECT_EQ(comparableObject(sheets[s][u"stored"].toObject()), ours) << "sheet " << s;
        const QJsonObject computed = sheets[s][u"computed"].toObject();
        for (auto it = ours.begin(); it != ours.end(); ++it)
            EXPECT_EQ(comparable(computed[it.key()]), it.value()) << "sheet " << s << " " << it.key().toStdString();
    }
}

TEST_P(XlsxValues, GnumericComputesTheSame)
{
    const Workbook &theirs = readings().gnumeric;
    ASSERT_EQ(theirs.sheetCount(), readings().model.sheetCount());
    for (int s = 0; s < theirs.sheetCount(); ++s) {
        const QJsonObject ours = formulaResults(readings().model.sheet(s));
        for (auto it = ours.begin(); it != ours.end(); ++it) {
            const CellRange at = testing::area(it.key().toLatin1().constData());
            const Cell *cell = theirs.sheet(s).cell(at.topLeft());
            EXPECT_EQ(cell ? comparable(cell->value) : QJsonValue(QString()), it.value())
                << "sheet " << s << " " << it.key().toStdString();
        }
    }
}

TEST_P(XlsxValues, TheXlsAndTheXlsxGiveLibreOfficeTheSameValues)
{
    const QJsonArray xlsx = readings().libreOffice[u"sheets"].toArray();
    const QJsonArray xls = readings().libreOfficeXls[u"sheets"].toArray();
    ASSERT_EQ(xlsx.size(), xls.size());
    for (int s = 0; s < xls.size(); ++s) {
        const QJsonObject ofXls = comparableObject(xls[s][u"computed"].toObject());
        const QJsonObject ofXlsx = comparableObject(xlsx[s][u"computed"].toObject());
        EXPECT_GT(ofXls.size(), 0);
        EXPECT_EQ(ofXlsx, ofXls) << "sheet " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Subjects, XlsxValues, ::testing::ValuesIn(kSubjects), subjectName);

} // namespace
} // namespace orv::chart::test
