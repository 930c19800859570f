#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/SheetGeometry.h"
#include "sheet/render/SheetPicture.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/xls/XlsFile.h"
#include "sheet/xlsx/XlsxWriter.h"
#include "support/ScriptedServices.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

// The chart of a small project: two categories, a main task half done, a
// sub-task, a second task and one special event, over 70 day columns.
constexpr int kFirstDay = 7;
constexpr int kDays = 70;
constexpr double kStart = 45352; // 2024-03-01
const std::vector<int> kTaskRows = {10, 11, 14};
const std::vector<int> kDeliverableRows = {9, 13}; // each above its tasks

// The looks a cell of the calendar can carry, told apart by colour.
enum class Look { None, Bar, Completed, Weekend, Event, Other };

const char *lookName(Look look)
{
    switch (look) {
    case Look::None: return "none";
    case Look::Bar: return "bar";
    case Look::Completed: return "completed";
    case Look::Weekend: return "weekend";
    case Look::Event: return "event";
    case Look::Other: return "other";
    }
    return "?";
}

// The nearest look colour, allowing for different exact shades.
Look lookOf(QColor color)
{
    const std::pair<Look, QColor> looks[] = {
        {Look::None, QColor(0xFFFFFF)},    {Look::Bar, QColor(0x33CCCC)},   {Look::Completed, QColor(0xFFFF99)},
        {Look::Completed, QColor(0x00FF00)}, {Look::Weekend, QColor(0xC0C0C0)}, {Look::Event, QColor(0xFF8080)},
    };
    Look nearest = Look::Other;
    int best = 60 * 60;
    for (const auto &[look, reference] : looks) {
        const int dr = color.red() - reference.red(), dg = color.green() - reference.green(),
                  db = color.blue() - reference.blue();
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
            best = distance;
            nearest = look;
        }
    }
    return nearest;
}

void put(Workbook &workbook, Sheet &sheet, CellAddress at, Value value, const CellFormat &format = {})
{
    Cell cell;
    cell.value = std::move(value);
    cell.formatIndex = workbook.addFormat(format);
    sheet.setCell(at, cell);
}

void putFormula(Workbook &workbook, Sheet &sheet, CellAddress at, const char *text, const CellFormat &format)
{
    Cell cell;
    cell.formula = parseFormula(QString::fromLatin1(text));
    cell.formatIndex = workbook.addFormat(format);
    sheet.setCell(at, cell);
}

ConditionalRule rule(const char *formula, QRgb fill, bool bordered)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(fill)};
    if (bordered) {
        const BorderLine thin{BorderStyle::Thin, Color::fromRgb(0x808080)};
        style.borders = Borders{thin, thin, thin, thin};
    }
    return {parseFormula(QString::fromLatin1(formula)), style, false};
}

Workbook smallProject()
{
    Workbook workbook;
    Sheet &sheet = workbook.addSheet(QStringLiteral("Project Plan"));
    sheet.view().showGridlines = false;
    const double widths[] = {1.375, 2.125, 25.875, 5.75, 5.75, 8.43, 0.75};
    for (int column = 0; column < kFirstDay; ++column)
        sheet.setColumnInfo(column, {widths[column], false, 0});
    for (int column = kFirstDay; column < kFirstDay + kDays; ++column)
        sheet.setColumnInfo(column, {2.0, false, 0});
    const double heights[] = {7.5, 18.75, 15, 15, 15, 15, 15, 3.75, 14.25, 15, 14.25, 14.25, 6.75, 15, 14.25, 6.75};
    for (int row = 0; row < 16; ++row)
        sheet.setRowInfo(row, {heights[row], true, false, std::nullopt});

    CellFormat date;
    date.numberFormat = QStringLiteral("m/d;@");
    date.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
    CellFormat percent = date;
    percent.numberFormat = QStringLiteral("0%");
    CellFormat header;
    header.fill = {FillPattern::Solid, Color::fromRgb(0x333399)};
    header.font.color = Color::fromRgb(0xFFFFFF);
    header.font.bold = true;
    CellFormat deliverable = header;
    deliverable.numberFormat = QStringLiteral("m/d;@");
    CellFormat day;
    day.numberFormat = QStringLiteral("d");
    day.font.size = 8;
    day.alignment.horizontal = HorizontalAlignment::Center;

    put(workbook, sheet, {1, 1}, QStringLiteral("Special Events"));
    put(workbook, sheet, {1, 3}, QStringLiteral("Start"));
    put(workbook, sheet, {1, 4}, QStringLiteral("End"));
    put(workbook, sheet, {2, 1}, QStringLiteral("Launch"));
    put(workbook, sheet, {2, 3}, kStart + 20, date);
    put(workbook, sheet, {2, 4}, kStart + 22, date);
    put(workbook, sheet, {5, kFirstDay}, kStart, day);
    for (int column = kFirstDay + 1; column < kFirstDay + kDays; ++column) {
        const QByteArray previous = QByteArray(1, char('A' + (column - 1) % 26));
        const QByteArray prefix = column - 1 >= 26 ? QByteArray(1, char('A' + (column - 1) / 26 - 1)) : QByteArray();
        putFormula(workbook, sheet, {5, column}, (prefix + previous + "6+1").constData(), day);
    }
    put(workbook, sheet, {8, 3}, QStringLiteral("Start"), header);
    put(workbook, sheet, {8, 4}, QStringLiteral("End"), header);
    put(workbook, sheet, {8, 5}, QStringLiteral("% Compl."), header);

    put(workbook, sheet, {9, 0}, QStringLiteral("Category A"), deliverable);
    sheet.mergedRanges().push_back({9, 0, 9, 2});
    putFormula(workbook, sheet, {9, 3}, "MIN(D11:D12)", deliverable);
    putFormula(workbook, sheet, {9, 4}, "MAX(E11:E12)", deliverable);
    put(workbook, sheet, {10, 1}, QStringLiteral("Main task"));
    put(workbook, sheet, {10, 3}, kStart + 2, date);
    put(workbook, sheet, {10, 4}, kStart + 18, date);
    put(workbook, sheet, {10, 5}, 0.5, percent);
    put(workbook, sheet, {11, 2}, QStringLiteral("Sub-task"));
    put(workbook, sheet, {11, 3}, kStart + 6, date);
    put(workbook, sheet, {11, 4}, kStart + 28, date);
    put(workbook, sheet, {11, 5}, 0.25, percent);
    put(workbook, sheet, {13, 0}, QStringLiteral("Category B"), deliverable);
    sheet.mergedRanges().push_back({13, 0, 13, 2});
    putFormula(workbook, sheet, {13, 3}, "MIN(D15:D15)", deliverable);
    putFormula(workbook, sheet, {13, 4}, "MAX(E15:E15)", deliverable);
    put(workbook, sheet, {14, 1}, QStringLiteral("Second task"));
    put(workbook, sheet, {14, 3}, kStart + 13, date);
    put(workbook, sheet, {14, 4}, kStart + 43, date);
    put(workbook, sheet, {14, 5}, 0.0, percent);
    put(workbook, sheet, {15, kFirstDay + kDays - 1}, QString());

    const int last = kFirstDay + kDays - 1;
    const std::vector<CellRange> taskRanges = {{10, kFirstDay, 11, last}, {14, kFirstDay, 14, last}};
    sheet.conditionalFormats().push_back(
        {taskRanges,
         {rule("AND($B11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0xFFFF99, true),
          rule("AND(H$6>=$D11,H$6<=$E11,$B11<>\"\")", 0x33CCCC, true),
          rule("AND($C11<>\"\",$F11>0,H$6>=$D11,H$6<=$D11+$F11*($E11-$D11))", 0x00FF00, true)}});
    sheet.conditionalFormats().push_back(
        {taskRanges,
         {rule("AND(H$6>=$D11,H$6<=$E11,$C11<>\"\")", 0x33CCCC, true),
          rule("OR(WEEKDAY(H$6)=1,WEEKDAY(H$6)=7)", 0xC0C0C0, false),
          rule("AND(H$6>=$D$3,H$6<=$E$3)", 0xFF8080, false)}});
    return workbook;
}

// The centres of the day numbers, which name every day column once, centred
// in it: averaged over the picture lines above `aboveY` that cross exactly
// `count` numbers. Ink closer than 6 px belongs to one number ("11").
std::vector<int> dayNumberCentres(const QImage &picture, int aboveY, int count)
{
    std::vector<int> sums(count, 0);
    int lines = 0;
    for (int y = 0; y < aboveY; ++y) {
        std::vector<int> centres;
        int start = -1, end = -1;
        for (int x = 0; x <= picture.width(); ++x) {
            const bool ink = x < picture.width() && picture.pixelColor(x, y).lightness() < 160;
            if (ink && start >= 0 && x - end <= 6) {
                end = x;
            } else if (ink) {
                if (start >= 0)
                    centres.push_back((start + end) / 2);
                start = end = x;
            }
        }
        if (start >= 0)
            centres.push_back((start + end) / 2);
        if (int(centres.size()) != count)
            continue;
        ++lines;
        for (int i = 0; i < count; ++i)
            sums[i] += centres[i];
    }
    if (lines == 0)
        return {};
    for (int &sum : sums)
        sum /= lines;
    return sums;
}

// The top pixel rows of the indigo deliverable bands near the left edge (its
// first pixel column is left white). LibreOffice's picture does not place rows
// exactly where their heights say (the rows above the plan come out a few
// pixels shorter), so the plan's rows are found from these bands.
std::vector<int> deliverableBandTops(const QImage &picture)
{
    std::vector<int> tops;
    int run = 0;
    for (int y = 0; y <= picture.height(); ++y) {
        const QColor color = y < picture.height() ? picture.pixelColor(1, y) : QColor(Qt::white);
        if (std::abs(color.red() - 0x33) < 12 && std::abs(color.blue() - 0x99) < 12) {
            ++run;
            continue;
        }
        if (run >= 15) // a whole band, not a stray pixel of text
            tops.push_back(y - run);
        run = 0;
    }
    return tops;
}

int pixelsOf(const QJsonValue &hundredthsOfMillimetre)
{
    return int(std::lround(hundredthsOfMillimetre.toDouble() * 96.0 / 2540.0));
}

// The same workbook saved in both formats must look the same in LibreOffice
// as in our picture.
enum class FileFormat { Xls, Xlsx };

class RenderAgainstLibreOffice : public ::testing::TestWithParam<FileFormat> {};

TEST_P(RenderAgainstLibreOffice, TaskRowsCarryTheSameLooks)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() || !QFile::exists("/usr/bin/python3"))
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir work;
    const QString artefacts = QStringLiteral(ORVANTIS_BINARY_DIR "/test-artefacts/render");
    QDir().mkpath(artefacts);

    Workbook workbook = smallProject();
    const test::FixedClock clock;
    recalculate(workbook, clock);
    const bool asXlsx = GetParam() == FileFormat::Xlsx;
    const QString xlsPath = artefacts + (asXlsx ? QStringLiteral("/small-project.xlsx") : QStringLiteral("/small-project.xls"));
    if (asXlsx)
        xlsx::saveWorkbookAsXlsx(workbook, xlsPath, work.path());
    else
        xls::saveWorkbookAs(workbook, xlsPath, xls::kFileFormatExcel8);

    const Evaluator evaluator(workbook, clock);
    RenderOptions options;
    options.ruleHolds = formulaRules(evaluator);
    const CellRange used = *workbook.sheet(0).usedRange();
    const QString oursPath = artefacts + QStringLiteral("/ours.png");
    writePicture(workbook, 0, used, oursPath, options);
    const QImage ours = readPicture(oursPath);

    const QString theirsPath = artefacts + (asXlsx ? QStringLiteral("/libreoffice-xlsx.png") : QStringLiteral("/libreoffice.png"));
    QFile::remove(theirsPath);
    QProcess office;
    office.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(ORVANTIS_SOURCE_DIR "/tests/sheet/libreoffice_picture.py"), xlsPath, theirsPath,
                  work.filePath(QStringLiteral("profile"))});
    ASSERT_TRUE(office.waitForFinished(180000));
    ASSERT_EQ(office.exitCode(), 0) << office.readAllStandardError().toStdString();
    const QJsonObject extent = QJsonDocument::fromJson(office.readAllStandardOutput()).object();
    const QImage theirs = readPicture(theirsPath);
    const QJsonArray rowSizes = extent[QStringLiteral("rows")].toArray();
    const int firstColumn = extent[QStringLiteral("firstColumn")].toInt();
    const int firstRow = extent[QStringLiteral("firstRow")].toInt();
    ASSERT_EQ(firstColumn, used.firstColumn);
    ASSERT_EQ(firstRow, used.firstRow);
    ASSERT_GT(int(rowSizes.size()), kTaskRows.back() - firstRow);
    const std::vector<int> bands = deliverableBandTops(theirs);
    ASSERT_EQ(bands.size(), kDeliverableRows.size());
    // LibreOffice draws the day columns narrower than their stored width says,
    // so they are found by their numbers.
    const std::vector<int> days = dayNumberCentres(theirs, bands.front(), kDays);
    ASSERT_EQ(int(days.size()), kDays);
    auto theirRowCentre = [&](int row) {
        const int block = row > kDeliverableRows.back() ? 1 : 0;
        int y = bands[block];
        for (int above = kDeliverableRows[block]; above < row; ++above)
            y += pixelsOf(rowSizes[above - firstRow]);
        return y + pixelsOf(rowSizes[row - firstRow]) / 2;
    };

    const SheetGeometry geometry(workbook, workbook.sheet(0), used);
    int compared = 0, shown = 0;
    std::string differences;
    for (int row : kTaskRows) {
        for (int column = kFirstDay; column < kFirstDay + 60; ++column) {
            const QPoint ourCentre(geometry.columnLeft(column) + geometry.columnWidth(column) / 2,
                                   int(geometry.rowTop(row) + geometry.rowHeight(row) / 2));
            const Look ourLook = lookOf(ours.pixelColor(ourCentre));
            const Look theirLook = lookOf(theirs.pixelColor(days[column - kFirstDay], theirRowCentre(row)));
            ++compared;
            shown += ourLook != Look::None ? 1 : 0;
            if (ourLook != theirLook)
                differences += "row " + std::to_string(row + 1) + " column " + std::to_string(column + 1) + ": ours "
                               + lookName(ourLook) + ", LibreOffice " + lookName(theirLook) + "\n";
        }
    }
    EXPECT_EQ(compared, 180);
    EXPECT_GT(shown, 40); // the picture does show bars, weekends and the event
    EXPECT_TRUE(differences.empty()) << differences;
}

INSTANTIATE_TEST_SUITE_P(Formats, RenderAgainstLibreOffice, ::testing::Values(FileFormat::Xls, FileFormat::Xlsx),
                         [](const auto &info) { return info.param == FileFormat::Xls ? "xls" : "xlsx"; });

} // namespace
} // namespace orv::sheet
