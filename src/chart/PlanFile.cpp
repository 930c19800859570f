#include "chart/PlanFile.h"

#include "app/ListTable.h"
#include "app/ShortDate.h"
#include "chart/PlanSize.h"
#include "chart/template/ChartLayout.h"
#include "sheet/DateSerial.h"
#include "files/Failure.h"
#include "files/FileAccess.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/ValueText.h"
#include "sheet/render/NumberFormat.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xlsx/XlsxReader.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <QStringDecoder>

namespace orv::chart {

namespace {

using sheet::CellAddress;

// A failure whose message names the file already and says all the user needs:
// passed on as it is, whereas a reader's failure gets the file's name first.
class PlanFailure : public Failure {
public:
    using Failure::Failure;
};

// No plan needs more: a 32,767-task chart is a few megabytes.
constexpr qint64 kLargestPlanFile = 64LL * 1024 * 1024;
// The task columns of 32767 tasks and their headings, with room to spare; a
// small file can state far more.
constexpr std::size_t kLargestPlanCells = 500'000;
// The plan's columns A to F and the calendar's first two dates (H6, I6),
// which tell its scale.
constexpr int kReadColumns = layout::kFirstDayColumn + 1;

bool isEmpty(const ProjectLists &lists)
{
    return lists.categories.empty() && lists.tasks.empty() && lists.events.empty();
}

// A name no list field can hold, or nothing.
const QString *overlongField(const ProjectLists &lists)
{
    for (const std::vector<QStringList> *list : {&lists.categories, &lists.tasks, &lists.events})
        for (const QStringList &item : *list)
            for (const QString &field : item)
                if (field.size() > kLongestField)
                    return &field;
    return nullptr;
}

// Sheet places of a chart, 0-based as the workbook model counts them.
constexpr int kFirstEventRow = layout::kFirstEventRow - 1;
constexpr int kEventRows = layout::kEventSlots;
constexpr int kHeadingRow = layout::kHeadingRow - 1;
constexpr int kFirstDeliverableRow = layout::kBlockRow - 1;
enum Column {
    A = layout::kDeliverableColumn - 1,
    B = layout::kTaskColumn - 1,
    C = layout::kSubTaskColumn - 1,
    D = layout::kStartColumn - 1,
    E = layout::kEndColumn - 1,
    F = layout::kPercentColumn - 1,
};

// The cells of the chart sheet read as the lists hold them.
class ChartCells {
public:
    ChartCells(const sheet::Workbook &workbook, const sheet::Sheet &sheet, const QLocale &locale)
        : mWorkbook(workbook), mSheet(sheet), mLocale(locale)
    {
    }

    const sheet::Cell *cell(int row, int column) const { return mSheet.cell(CellAddress{row, column}); }
    bool isEmpty(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        return !at || sheet::isEmpty(at->value);
    }

    // A name as the cell shows it: a name that looked like a number or a
    // date became one when it was entered.
    QString name(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        if (!at)
            return {};
        const double *number = std::get_if<double>(&at->value);
        if (!number)
            return sheet::valueText(at->value);
        const QString &code = mWorkbook.format(at->formatIndex).numberFormat;
        return code == u"General" ? sheet::generalNumberText(*number) : sheet::NumberFormat(code).formatNumber(*number).text;
    }

    // A date in the user's short date form; a text that was no date stays.
    QString date(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        const double *serial = at ? std::get_if<double>(&at->value) : nullptr;
        if (!serial)
            return name(row, column);
        const QDate date = sheet::qdateFromSerial(*serial);
        return date.isValid() ? shortDateText(date, mLocale) : sheet::generalNumberText(*serial);
    }

    // The fraction completed as the percentage typed for it ("80" for 0.8).
    QString percent(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        const double *fraction = at ? std::get_if<double>(&at->value) : nullptr;
        return fraction ? sheet::generalNumberText(*fraction * 100) : name(row, column);
    }

    bool isDeliverableRow(int row) const
    {
        const sheet::Cell *start = cell(row, D);
        const bool sumsUpTasks =
            start && start->hasFormula() && sheet::printFormula(*start->formula).startsWith(QStringLiteral("MIN("));
        return sumsUpTasks || !isEmpty(row, A);
    }

    bool isTaskRow(int row) const
    {
        for (int column = B; column <= F; ++column)
            if (!isEmpty(row, column))
                return true;
        return false;
    }

    bool isChart() const
    {
        const auto says = [this](int row, int column, QStringView text) {
            return name(row, column).trimmed().compare(text, Qt::CaseInsensitive) == 0;
        };
        return says(kFirstEventRow - 1, B, u"Special Events") && says(kHeadingRow, D, u"Start")
               && says(kHeadingRow, E, u"End");
    }

    int lastRow() const { return mSheet.lastRow(); }

    // The number a cell holds or last computed, or nothing.
    std::optional<double> number(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        const double *value = at ? std::get_if<double>(&at->value) : nullptr;
        return value ? std::optional<double>(*value) : std::nullopt;
    }

    QString formula(int row, int column) const
    {
        const sheet::Cell *at = cell(row, column);
        return at && at->hasFormula() ? sheet::printFormula(*at->formula).remove(u' ') : QString();
    }

private:
    const sheet::Workbook &mWorkbook;
    const sheet::Sheet &mSheet;
    QLocale mLocale;
};

const sheet::Sheet &chartSheet(const sheet::Workbook &workbook)
{
    const sheet::Sheet *plan = workbook.findSheet(QStringLiteral("Project Plan"));
    return plan ? *plan : workbook.sheet(0);
}

void readEvents(const ChartCells &cells, PlanFromFile &plan)
{
    int last = -1;
    for (int slot = 0; slot < kEventRows; ++slot)
        if (!cells.isEmpty(kFirstEventRow + slot, B) || !cells.isEmpty(kFirstEventRow + slot, D)
            || !cells.isEmpty(kFirstEventRow + slot, E))
            last = slot;
    for (int slot = 0; slot <= last; ++slot) {
        const int row = kFirstEventRow + slot;
        plan.lists.events.push_back({cells.name(row, B), cells.date(row, D), cells.date(row, E)});
    }
}

// One task per filled row under a deliverable row: a name in column C alone
// marks a sub-task.
QStringList taskAt(const ChartCells &cells, int row, const QString &category)
{
    const bool subTask = cells.isEmpty(row, B) && !cells.isEmpty(row, C);
    return {cells.name(row, subTask ? C : B), cells.percent(row, F), cells.date(row, D),
            cells.date(row, E),           category,                  subTask ? QStringLiteral("V") : QString()};
}

// The builder writes a category named twice as two equal blocks; the second
// one's tasks are the first one's again and are read once.
void readBlocks(const ChartCells &cells, PlanFromFile &plan)
{
    std::vector<std::pair<QString, std::vector<QStringList>>> blocks;
    for (int row = kFirstDeliverableRow; row <= cells.lastRow(); ++row) {
        if (cells.isDeliverableRow(row))
            blocks.push_back({cells.name(row, A), {}});
        else if (!blocks.empty() && cells.isTaskRow(row))
            blocks.back().second.push_back(taskAt(cells, row, blocks.back().first));
    }
    // An untouched template: its own deliverable stands for no category.
    if (blocks.size() == 1 && blocks[0].second.empty() && blocks[0].first == u"Project Deliverable 1")
        return;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto &[category, tasks] = blocks[i];
        plan.lists.categories.push_back({category});
        const bool repeated = std::any_of(blocks.begin(), blocks.begin() + i, [&](const auto &earlier) {
            return earlier.first == category && earlier.second == tasks;
        });
        if (!repeated)
            plan.lists.tasks.insert(plan.lists.tasks.end(), tasks.begin(), tasks.end());
    }
}

// The calendar's scale, from the second column's date formula (H6+1,
// H6+7, a DATE of the next month) or, where a spreadsheet application left
// values only, from the step between the first two dates.
std::optional<CalendarScale> chartScale(const ChartCells &cells)
{
    constexpr int dateRow = layout::kDateRow - 1;
    constexpr int first = layout::kFirstDayColumn - 1;
    const QString formula = cells.formula(dateRow, first + 1);
    const QString firstCell = sheet::columnName(first) + QString::number(layout::kDateRow);
    if (formula.compare(firstCell + "+1", Qt::CaseInsensitive) == 0)
        return CalendarScale::Days;
    if (formula.compare(firstCell + "+7", Qt::CaseInsensitive) == 0)
        return CalendarScale::Weeks;
    if (formula.startsWith(QStringLiteral("DATE("), Qt::CaseInsensitive))
        return CalendarScale::Months;
    const std::optional<double> start = cells.number(dateRow, first);
    const std::optional<double> next = cells.number(dateRow, first + 1);
    if (!start || !next)
        return std::nullopt;
    const double step = *next - *start;
    if (step == 1)
        return CalendarScale::Days;
    if (step == 7)
        return CalendarScale::Weeks;
    if (step >= 28 && step <= 31)
        return CalendarScale::Months;
    return std::nullopt;
}

PlanFromFile planFromChart(const sheet::Workbook &workbook, const QString &name, const QLocale &locale)
{
    const ChartCells cells(workbook, chartSheet(workbook), locale);
    if (!cells.isChart())
        throw PlanFailure(QStringLiteral("%1 is a workbook but not an Orvantis chart: its plan sheet lacks the "
                                         "\"Special Events\" heading in B2 and \"Start\" and \"End\" in row 9")
                              .arg(name));
    PlanFromFile plan;
    readEvents(cells, plan);
    readBlocks(cells, plan);
    plan.scale = chartScale(cells);
    plan.notes << QStringLiteral("A chart holds only the first five special events and the tasks whose category "
                                 "was listed; any others were not in it.")
               << QStringLiteral("Percentages come back as numbers, dates in the short date form.");
    return plan;
}

// The text of a task list file: UTF-8 (a byte order mark aside), or the
// Latin-1 of older spreadsheet exports. Control characters other than line
// breaks and tabs mean the file holds no text.
std::optional<QString> fileText(const QByteArray &bytes)
{
    for (const char byte : bytes)
        if (static_cast<unsigned char>(byte) < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// A file whose lines all hold the same number of colons, or of bars, with
// some of them in every first field, is a table of another kind (such as
// /etc/passwd), not a task list: task names seldom hold these.
bool isOtherTable(const QString &text, const ListTable &table)
{
    if (table.hadHeader || table.items.isEmpty())
        return false;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    for (const QChar separator : {u':', u'|'}) {
        const qsizetype count = lines.front().count(separator);
        const bool sameInEveryLine = std::all_of(lines.begin(), lines.end(),
                                                 [&](const QString &line) { return line.count(separator) == count; });
        const bool inEveryName = std::all_of(table.items.begin(), table.items.end(),
                                             [&](const QStringList &item) { return item[0].count(separator) >= 2; });
        if (count >= 2 && sameInEveryLine && inEveryName)
            return true;
    }
    return false;
}

QString countedNames(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

PlanFromFile planFromTaskList(const QString &text, const QString &name, const QLocale &locale)
{
    const ListTable table = readListTable(text, ListKind::Tasks, locale);
    if (table.stoppedRow > 0)
        throw PlanFailure(QStringLiteral("%1 cannot be read as a plan: %2").arg(name, table.stop));
    if (isOtherTable(text, table))
        throw PlanFailure(QStringLiteral("%1 holds no plan: its lines are fields separated by colons or bars, as in a "
                                         "system file, not tasks")
                              .arg(name));
    PlanFromFile plan;
    for (const QString &category : table.categories)
        plan.lists.categories.push_back({category});
    // Rows of empty cells are what spreadsheets write below a table.
    std::copy_if(table.items.begin(), table.items.end(), std::back_inserter(plan.lists.tasks),
                 [](const QStringList &task) { return !task.join(QString()).trimmed().isEmpty(); });
    const auto uncategorised = std::count_if(plan.lists.tasks.begin(), plan.lists.tasks.end(),
                                             [](const QStringList &task) { return task[4].isEmpty(); });
    if (uncategorised > 0)
        plan.notes << QStringLiteral("%1 of the tasks name no category; they are not charted until they have one.")
                          .arg(uncategorised);
    if (!table.leftOut.isEmpty())
        plan.notes << QStringLiteral("Left out: %1 (%2).")
                          .arg(countedNames(table.leftOut.size(), "column", "columns"),
                               table.leftOut.join(QStringLiteral(", ")));
    if (table.fractions)
        plan.notes << QStringLiteral("The percentages were fractions: 0.4 came in as 40.");
    return plan;
}

bool startsWith(const QByteArray &bytes, const char *magic, qsizetype size)
{
    return bytes.startsWith(QByteArray::fromRawData(magic, size));
}

PlanFromFile readPlan(const QByteArray &bytes, const QString &name, const QLocale &locale)
{
    if (startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return planFromChart(sheet::xls::readXlsFile(bytes, {.columns = kReadColumns, .cells = kLargestPlanCells}),
                             name, locale);
    if (startsWith(bytes, "PK\x03\x04", 4))
        return planFromChart(sheet::xlsx::readXlsxValues(bytes, {.columns = kReadColumns}), name, locale);
    if (const std::optional<QString> text = fileText(bytes))
        return planFromTaskList(*text, name, locale);
    throw PlanFailure(QStringLiteral("%1 is neither a chart workbook (.xls, .xlsx) nor a list of tasks (CSV or "
                                     "tab-separated text)")
                          .arg(name));
}

[[noreturn]] void tooLarge(const QString &name)
{
    throw Failure(QStringLiteral("%1 is too large for a plan (more than %2 MB)").arg(name).arg(kLargestPlanFile >> 20));
}

} // namespace

PlanFromFile readPlanBytes(const QByteArray &bytes, const QString &name, const QLocale &locale)
{
    if (bytes.isEmpty())
        throw Failure(QStringLiteral("%1 is empty: it holds no plan").arg(name));
    if (bytes.size() > kLargestPlanFile)
        tooLarge(name);
    PlanFromFile plan;
    try {
        plan = readPlan(bytes, name, locale);
    } catch (const PlanFailure &) {
        throw;
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("%1 cannot be read as a plan. %2").arg(name, failure.description()));
    }
    if (isEmpty(plan.lists))
        throw Failure(QStringLiteral("%1 holds no plan: no category, task or special event").arg(name));
    if (overlongField(plan.lists))
        throw Failure(QStringLiteral("%1 holds a field of more than 32,767 characters").arg(name));
    checkPlanSize(plan.lists);
    return plan;
}

PlanFromFile readPlanFile(const QString &path, const QLocale &locale)
{
    const QString name = QFileInfo(path).fileName();
    const QByteArray bytes = files::readFileUpTo(path, files::Links::Follow, kLargestPlanFile + 1);
    if (bytes.size() > kLargestPlanFile)
        tooLarge(name);
    return readPlanBytes(bytes, name, locale);
}

} // namespace orv::chart
