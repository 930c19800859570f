// The embedded chart template opened by LibreOffice and Gnumeric: both must
// compute the same calendar as our engine and hold every conditional format
// on its area. LibreOffice also renders the template to PDF and PNG under
// artifacts/ in the build folder, for a person to look at.

#include "TemplateUnderTest.h"
#include "sheet/DateSerial.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/formula/ReferenceAdjustment.h"
#include "support/ScriptedServices.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

using namespace sheet;

constexpr int kFirstDayColumn = 7;
constexpr int kDays = 196;

// Opens the template in a headless LibreOffice of its own and writes what it
// computed to a JSON file: its TODAY(), rows 4 and 6 of the calendar, the
// conditional formats with their areas, formulas and fills, the print
// settings; and exports the sheet to PDF.
const char *const kLibreOfficeScript = R"py(
import json, os, subprocess, sys, time
import uno
from com.sun.star.beans import PropertyValue

source, result, pdf, work = sys.argv[1:5]  # pdf: the pictures' path without ".pdf"

def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p

pipe = "orvantis_template_%d" % os.getpid()
office = subprocess.Popen(["soffice", "--headless", "--norestore", "--nologo", "--nodefault",
                           "-env:UserInstallation=file://" + work + "/profile",
                           "--accept=pipe,name=%s;urp;" % pipe],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    context = None
    for attempt in range(240):
        try:
            context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            break
        except Exception:
            time.sleep(0.25)
    desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
    doc = desktop.loadComponentFromURL("file://" + source, "_blank", 0, (prop("Hidden", True),))
    sheet = doc.Sheets.getByName("Project Plan")
    probe = doc.Sheets.getByName("Instructions").getCellByPosition(0, 0)
    probe.setFormula("=TODAY()")
    doc.calculateAll()
    out = {"today": probe.getValue(), "sheets": list(doc.Sheets.getElementNames())}
    out["days"] = [sheet.getCellByPosition(c, 5).getValue() for c in range(7, 7 + 196)]
    out["labels"] = [sheet.getCellByPosition(c, 3).getString() for c in range(7, 7 + 196)]
    out["labelFormulas"] = [sheet.getCellByPosition(c, 3).getFormula() for c in (7, 8, 202)]
    styles = doc.StyleFamilies.getByName("CellStyles")
    formats = []
    for format in sheet.ConditionalFormats.ConditionalFormats:
        ranges = format.Range.getRangeAddresses()
        rules = []
        for i in range(format.Count):
            entry = format.getByIndex(i)
            style = styles.getByName(entry.StyleName)
            rules.append({"formula": entry.Formula1, "fill": style.CellBackColor})
        formats.append({"ranges": [[r.StartRow, r.StartColumn, r.EndRow, r.EndColumn] for r in ranges],
                        "rules": rules})
    out["formats"] = formats
    out["printAreas"] = [[r.StartRow, r.StartColumn, r.EndRow, r.EndColumn] for r in sheet.getPrintAreas()]
    titleRows = sheet.getTitleRows()
    titleColumns = sheet.getTitleColumns()
    out["titleRows"] = [titleRows.StartRow, titleRows.EndRow] if sheet.PrintTitleRows else []
    out["titleColumns"] = [titleColumns.StartColumn, titleColumns.EndColumn] if sheet.PrintTitleColumns else []
    # The print area holds only the empty plan rows, and LibreOffice skips
    # empty pages: the pictures show the whole template instead.
    from com.sun.star.table import CellRangeAddress
    sheet.setPrintAreas((CellRangeAddress(0, 0, 0, 202, 12),))
    sheet.PrintTitleRows = False
    sheet.PrintTitleColumns = False
    doc.storeToURL("file://" + pdf + ".pdf", (prop("FilterName", "calc_pdf_Export"),))
    # A small plan: an event, a deliverable and a task 40 % done.
    today = out["today"]
    sheet.getCellByPosition(1, 2).setString("Fair")
    sheet.getCellByPosition(3, 2).setValue(today + 14)
    sheet.getCellByPosition(4, 2).setValue(today + 16)
    sheet.getCellByPosition(0, 9).setString("Deliverable")
    sheet.getCellByPosition(1, 10).setString("Task")
    sheet.getCellByPosition(3, 10).setValue(today - 5)
    sheet.getCellByPosition(4, 10).setValue(today + 10)
    sheet.getCellByPosition(5, 10).setValue(0.4)
    doc.calculateAll()
    doc.storeToURL("file://" + pdf + "-sample.pdf", (prop("FilterName", "calc_pdf_Export"),))
    doc.close(True)
    with open(result, "w") as f:
        json.dump(out, f)
    try:
        desktop.terminate()
    except Exception:
        pass
finally:
    try:
        office.wait(timeout=30)
    except subprocess.TimeoutExpired:
        office.kill()
)py";

QString artifactsFolder()
{
    const QString folder = QStringLiteral(ORVANTIS_BINARY_DIR "/artifacts");
    QDir().mkpath(folder);
    return folder;
}

bool run(const QString &program, const QStringList &arguments, int timeoutMs = 240000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Formulas as the applications and our engine print them, compared without
// blanks, with "," between arguments and in upper case.
QString normalized(QString formula)
{
    if (formula.startsWith(u'='))
        formula.remove(0, 1);
    return formula.replace(u';', u',').remove(u' ').toUpper();
}

// Applications that read only the 97-2003 records (CONDFMT and CF) see the
// first three rules of each format; the further ones are in CF12 records.
constexpr size_t kRulesEveryReaderSees = 3;

size_t rulesEveryReaderSees(const ConditionalFormat &format)
{
    return std::min(format.rules.size(), kRulesEveryReaderSees);
}

// The template's conditional formats as the engine reads them, as far as
// every reader sees them: area -> normalized rule formulas in order.
std::map<QString, QStringList> ourRules()
{
    std::map<QString, QStringList> rules;
    for (const ConditionalFormat &format : projectPlan().conditionalFormats()) {
        const CellRange &range = format.ranges.front();
        const QString area = QStringLiteral("%1,%2,%3,%4")
                                 .arg(range.firstRow)
                                 .arg(range.firstColumn)
                                 .arg(range.lastRow)
                                 .arg(range.lastColumn);
        for (size_t i = 0; i < rulesEveryReaderSees(format); ++i)
            rules[area].push_back(normalized(printFormula(*format.rules[i].formula)));
    }
    return rules;
}

// Our engine's calendar for a given day: row 6 and the dates row 4 shows.
struct Calendar {
    std::vector<double> days;
    std::vector<bool> labelled;
};

Calendar ourCalendar(QDate today)
{
    Workbook book = readChartTemplate();
    const test::FixedClock clock(QDateTime(today, QTime(12, 0)));
    recalculate(book, clock);
    Calendar calendar;
    for (int column = kFirstDayColumn; column < kFirstDayColumn + kDays; ++column) {
        const Cell *day = book.sheet(0).cell({5, column});
        const Cell *label = book.sheet(0).cell({3, column});
        calendar.days.push_back(day && std::holds_alternative<double>(day->value) ? std::get<double>(day->value) : -1);
        calendar.labelled.push_back(label && std::holds_alternative<double>(label->value));
    }
    return calendar;
}

// The first month label compares the first day with E6, which is empty in
// the bare template. For the empty cell MONTH() gives 1 in our engine (day 0
// is 0 January 1900) but 12 in LibreOffice and Gnumeric, whose day 0 lies in
// December 1899: when the calendar starts in December the applications show
// no label in the first column.
int serialMonth(double serial) { return qdateFromSerial(serial).month(); }

class TemplateInApplications : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new QTemporaryDir;
        QFile file(folder->filePath(QStringLiteral("template.xls")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(loadCustomResource(101));
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    static QString templatePath() { return folder->filePath(QStringLiteral("template.xls")); }

    static QTemporaryDir *folder;
};
QTemporaryDir *TemplateInApplications::folder = nullptr;

class TemplateInLibreOffice : public TemplateInApplications {
protected:
    static void SetUpTestSuite()
    {
        TemplateInApplications::SetUpTestSuite();
        const QString script = folder->filePath(QStringLiteral("open_template.py"));
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kLibreOfficeScript);
        file.close();
        const QString json = folder->filePath(QStringLiteral("libreoffice.json"));
        const QString pictures = artifactsFolder() + QStringLiteral("/chart-template");
        for (const QString &suffix : {QStringLiteral(".pdf"), QStringLiteral("-sample.pdf")})
            QFile::remove(pictures + suffix);
        ASSERT_TRUE(run(QStringLiteral("/usr/bin/python3"), {script, templatePath(), json, pictures, folder->path()}));
        result = QJsonDocument::fromJson(readText(json).toUtf8()).object();
        ASSERT_FALSE(result.isEmpty());
        for (const QString &name : {QStringLiteral(""), QStringLiteral("-sample")})
            ASSERT_TRUE(run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                                         QStringLiteral("96"), QStringLiteral("-f"), QStringLiteral("1"),
                                                         QStringLiteral("-l"), QStringLiteral("1"), pictures + name + ".pdf",
                                                         pictures + name}));
    }

    static QJsonObject result;
};
QJsonObject TemplateInLibreOffice::result;

TEST_F(TemplateInLibreOffice, ShowsTheSheetsInOrder)
{
    EXPECT_EQ(result[u"sheets"].toArray(),
              QJsonArray({QStringLiteral("Project Plan"), QStringLiteral("Instructions"), QStringLiteral("Version")}));
}

TEST_F(TemplateInLibreOffice, ComputesTheSameCalendarAsOurEngine)
{
    const double today = result[u"today"].toDouble();
    ASSERT_GT(today, 40000);
    const QJsonArray days = result[u"days"].toArray();
    const QJsonArray labels = result[u"labels"].toArray();
    ASSERT_EQ(days.size(), kDays);
    ASSERT_EQ(labels.size(), kDays);
    EXPECT_EQ(days[0].toDouble(), today - 30) << "no dates in D3:E15";

    const Calendar ours = ourCalendar(qdateFromSerial(today));
    for (int i = 0; i < kDays; ++i) {
        EXPECT_EQ(days[i].toDouble(), ours.days[i]) << i;
        const QString label = labels[i].toString();
        if (i == 0 && serialMonth(ours.days[0]) == 12)
            continue; // see serialMonth
        EXPECT_EQ(!label.isEmpty(), bool(ours.labelled[i])) << i;
        if (ours.labelled[i])
            EXPECT_EQ(label, QLocale::c().monthName(qdateFromSerial(ours.days[i]).month(), QLocale::ShortFormat));
    }
}

TEST_F(TemplateInLibreOffice, KeepsTheMonthLabelFormulas)
{
    const QJsonArray formulas = result[u"labelFormulas"].toArray();
    ASSERT_EQ(formulas.size(), 3);
    EXPECT_EQ(normalized(formulas[0].toString()), QStringLiteral("IF(MONTH(H6)<>MONTH(E6),H6,\"\")"));
    EXPECT_EQ(normalized(formulas[1].toString()), QStringLiteral("IF(MONTH(I6)<>MONTH(H6),I6,\"\")"));
    EXPECT_EQ(normalized(formulas[2].toString()), QStringLiteral("IF(MONTH(GU6)<>MONTH(GT6),GU6,\"\")"));
}

TEST_F(TemplateInLibreOffice, ReadsEveryConditionalFormatWithItsAreaAndOrder)
{
    std::map<QString, QStringList> theirs;
    std::map<QString, std::vector<int>> fills;
    for (const QJsonValue &format : result[u"formats"].toArray()) {
        const QJsonArray ranges = format[u"ranges"].toArray();
        ASSERT_EQ(ranges.size(), 1);
        const QJsonArray r = ranges[0].toArray();
        const QString area = QStringLiteral("%1,%2,%3,%4").arg(r[0].toInt()).arg(r[1].toInt()).arg(r[2].toInt()).arg(
            r[3].toInt());
        for (const QJsonValue &rule : format[u"rules"].toArray()) {
            theirs[area].push_back(normalized(rule[u"formula"].toString()));
            fills[area].push_back(rule[u"fill"].toInt());
        }
    }
    EXPECT_EQ(theirs, ourRules());
    const std::vector<int> taskRowFills = {0xFFFF99, 0x33CCCC, 0x00FF00};
    EXPECT_EQ(fills[QStringLiteral("10,7,11,202")], taskRowFills);
}

TEST_F(TemplateInLibreOffice, PrintsTheCalendarWithNamesAndHeadersOnEveryPage)
{
    EXPECT_EQ(result[u"printAreas"].toArray(), QJsonArray({QJsonArray({9, 7, 16, 189})}));
    EXPECT_EQ(result[u"titleRows"].toArray(), QJsonArray({1, 8}));
    EXPECT_EQ(result[u"titleColumns"].toArray(), QJsonArray({0, 6}));
    EXPECT_TRUE(QFile::exists(artifactsFolder() + QStringLiteral("/chart-template-1.png")));
    EXPECT_TRUE(QFile::exists(artifactsFolder() + QStringLiteral("/chart-template-sample-1.png")));
}

// The day dates turned upright in rows 6-7: LibreOffice must draw every one
// as its digits, the weekends, Mondays and today under their conditional
// fills included, and never "###" for a date that does not fit.
TEST_F(TemplateInLibreOffice, ShowsEveryDayDateAsDigits)
{
    const QString text = folder->filePath(QStringLiteral("template.txt"));
    ASSERT_TRUE(run(QStringLiteral("pdftotext"), {artifactsFolder() + QStringLiteral("/chart-template.pdf"), text}));
    const QString shown = readText(text);
    EXPECT_FALSE(shown.contains(QStringLiteral("###")));
    QStringList days;
    const QRegularExpression date(QStringLiteral("\\b(1[0-2]|[1-9])/([1-3][0-9]|[1-9])\\b"));
    for (auto match = date.globalMatch(shown); match.hasNext();)
        days << match.next().captured();
    days.removeDuplicates();
    const double first = result[u"days"].toArray().first().toDouble();
    for (int day = 0; day < kDays; ++day) {
        const QDate shownDate = qdateFromSerial(first + day);
        EXPECT_TRUE(days.contains(QStringLiteral("%1/%2").arg(shownDate.month()).arg(shownDate.day())))
            << shownDate.toString(Qt::ISODate).toStdString();
    }
}

// Gnumeric: the values after its own recalculation (CSV of the first sheet)
// and the conditions of its style regions (its XML file format).
class TemplateInGnumeric : public TemplateInApplications {
protected:
    static void SetUpTestSuite()
    {
        TemplateInApplications::SetUpTestSuite();
        const QString csv = folder->filePath(QStringLiteral("plan.csv"));
        ASSERT_TRUE(run(QStringLiteral("ssconvert"),
                        {QStringLiteral("--recalc"), QStringLiteral("-T"), QStringLiteral("Gnumeric_stf:stf_assistant"),
                         QStringLiteral("-O"), QStringLiteral("format=preserve separator=, eol=unix"), templatePath(),
                         csv}));
        // The export starts at the first row that holds something, row 2.
        rows = readText(csv).split(u'\n');
        ASSERT_TRUE(!rows.isEmpty() && rows.front().contains(QStringLiteral("\"Special Events\"")));
        const QString xml = folder->filePath(QStringLiteral("plan.gnumeric"));
        ASSERT_TRUE(run(QStringLiteral("ssconvert"), {QStringLiteral("-T"), QStringLiteral("Gnumeric_XmlIO:sax:0"),
                                                       templatePath(), xml}));
        document = readText(xml);
    }

    static QStringList cellsOfRow(int row) { return rows.value(row - 2).split(u','); }

    static QStringList rows;
    static QString document;
};
QStringList TemplateInGnumeric::rows;
QString TemplateInGnumeric::document;

TEST_F(TemplateInGnumeric, StartsTheCalendarThirtyDaysBeforeItsToday)
{
    const QDate today = QDate::currentDate();
    const Calendar ours = ourCalendar(today);
    const QStringList days = cellsOfRow(6);
    const QStringList labels = cellsOfRow(4);
    ASSERT_GE(days.size(), kFirstDayColumn + kDays);
    for (int i = 0; i < kDays; ++i) {
        const QDate day = qdateFromSerial(ours.days[i]);
        EXPECT_EQ(days[kFirstDayColumn + i], QStringLiteral("%1/%2").arg(day.month()).arg(day.day())) << i;
        const QString label = labels.value(kFirstDayColumn + i);
        if (i == 0 && day.month() == 12)
            continue; // see serialMonth
        EXPECT_EQ(label.isEmpty(), !ours.labelled[i]) << i;
        if (ours.labelled[i])
            EXPECT_EQ(label, QLocale::c().monthName(day.month(), QLocale::ShortFormat)) << i;
    }
    EXPECT_EQ(qdateFromSerial(ours.days[0]), today.addDays(-30));
}

QString unescaped(QString xml)
{
    return xml.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// A Gnumeric colour "FFFF:9999:0" as 0xFF9900.
int gnumericColor(const QString &text)
{
    const QStringList parts = text.split(u':');
    int rgb = 0;
    for (const QString &part : parts)
        rgb = (rgb << 8) | (part.toInt(nullptr, 16) >> 8);
    return parts.size() == 3 ? rgb : -1;
}

struct GnumericRule {
    QString formula; // written for cell A1
    int fill = -1;
    friend bool operator==(const GnumericRule &, const GnumericRule &) = default;
};

// Gnumeric keeps a sheet's styles in regions; the region that starts at an
// area's top-left cell carries the area's rules, with their formulas written
// for cell A1.
TEST_F(TemplateInGnumeric, ReadsEveryConditionalFormatWithItsOrderAndFills)
{
    static const QRegularExpression region(
        QStringLiteral("<gnm:StyleRegion startCol=\"(\\d+)\" startRow=\"(\\d+)\" endCol=\"\\d+\" "
                       "endRow=\"\\d+\">(.*?)</gnm:StyleRegion>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression condition(
        QStringLiteral("<gnm:Expression0>([^<]*)</gnm:Expression0>\\s*<gnm:Style([^>]*)>"));
    static const QRegularExpression back(QStringLiteral("Back=\"([0-9A-F:]+)\""));
    std::map<std::pair<int, int>, std::vector<GnumericRule>> theirs;
    for (auto regions = region.globalMatch(document); regions.hasNext();) {
        const auto found = regions.next();
        std::vector<GnumericRule> rules;
        for (auto match = condition.globalMatch(found.captured(3)); match.hasNext();) {
            const auto rule = match.next();
            const auto fill = back.match(rule.captured(2));
            rules.push_back({normalized(unescaped(rule.captured(1))), fill.hasMatch() ? gnumericColor(fill.captured(1)) : -1});
        }
        if (!rules.empty())
            theirs[{found.captured(2).toInt(), found.captured(1).toInt()}] = rules;
    }

    EXPECT_EQ(theirs.size(), projectPlan().conditionalFormats().size());
    for (const ConditionalFormat &format : projectPlan().conditionalFormats()) {
        const CellAddress topLeft = format.ranges.front().topLeft();
        SCOPED_TRACE(QStringLiteral("area at %1,%2").arg(topLeft.row).arg(topLeft.column).toStdString());
        const auto found = theirs.find({topLeft.row, topLeft.column});
        ASSERT_NE(found, theirs.end());
        ASSERT_EQ(found->second.size(), rulesEveryReaderSees(format));
        for (size_t i = 0; i < rulesEveryReaderSees(format); ++i) {
            const ConditionalRule &rule = format.rules[i];
            const int fill = rule.style.fill ? static_cast<int>(rule.style.fill->color.rgb & 0xFFFFFF) : -1;
            EXPECT_EQ(found->second[i].fill, fill) << i;
            // Gnumeric wraps a reference left of column A round to IV; our
            // translation makes it #REF!, so such a formula is left out.
            const QString atA1 = printFormula(*translateFormula(rule.formula, -topLeft.row, -topLeft.column));
            if (!atA1.contains(QStringLiteral("#REF!")))
                EXPECT_EQ(found->second[i].formula, normalized(atA1)) << i;
        }
    }
}

} // namespace
} // namespace orv::chart::testing
