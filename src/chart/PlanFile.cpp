#include "chart/PlanFile.h"

#include "app/DelimitedText.h"
#include "app/ShortDate.h"
#include "chart/PlanSize.h"
#include "sheet/DateSerial.h"
#include "sheet/Failure.h"
#include "sheet/FileAccess.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/ValueText.h"
#include "sheet/render/NumberFormat.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xlsx/XlsxReader.h"

#include <QFileInfo>
#include <algorithm>
#include <QStringDecoder>

namespace orv::chart {

namespace {

using sheet::CellAddress;

// No plan needs more: a 32,767-task chart is a few megabytes.
constexpr qint64 kLargestPlanFile = 64LL * 1024 * 1024;
constexpr int kTaskColumns = 6;
// The task columns of 32767 tasks and their headings, with room to spare; a
// small file can state far more.
constexpr std::size_t kLargestPlanCells = 500'000;

// Sheet places of a chart, 0-based: the event rows 3 to 7, the headings and
// the first deliverable row 10; columns A to F.
constexpr int kFirstEventRow = 2;
constexpr int kEventRows = 5;
constexpr int kFirstDeliverableRow = 9;
enum Column { A, B, C, D, E, F };

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
        return says(1, B, u"Special Events") && says(8, D, u"Start") && says(8, E, u"End");
    }

    int lastRow() const { return mSheet.lastRow(); }

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

PlanFromFile planFromChart(const sheet::Workbook &workbook, const QString &name, const QLocale &locale)
{
    const ChartCells cells(workbook, chartSheet(workbook), locale);
    if (!cells.isChart())
        throw Failure(QStringLiteral("%1 is a workbook but not an Orvantis chart: its plan sheet lacks the "
                                     "\"Special Events\" heading in B2 and \"Start\" and \"End\" in row 9")
                          .arg(name));
    PlanFromFile plan;
    readEvents(cells, plan);
    readBlocks(cells, plan);
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

PlanFromFile planFromTaskList(const QString &text, const QString &name)
{
    PlanFromFile plan;
    int uncategorised = 0;
    int line = 0;
    for (QStringList task : listRows(text, ListKind::Tasks)) {
        ++line;
        if (!fitsColumns(task, kTaskColumns))
            throw Failure(QStringLiteral("Task %1 in %2 has %3 columns; a task has at most %4 (%5)")
                              .arg(line)
                              .arg(name)
                              .arg(task.size())
                              .arg(kTaskColumns)
                              .arg(listCaptions(ListKind::Tasks).join(QStringLiteral(", "))));
        task.resize(kTaskColumns);
        const QString &category = task[4];
        if (category.isEmpty())
            ++uncategorised;
        else if (std::none_of(plan.lists.categories.begin(), plan.lists.categories.end(),
                              [&](const QStringList &known) { return known[0] == category; }))
            plan.lists.categories.push_back({category});
        plan.lists.tasks.push_back(task);
    }
    if (uncategorised > 0)
        plan.notes << QStringLiteral("%1 of the tasks name no category; they are not charted until they have one.")
                          .arg(uncategorised);
    return plan;
}

bool startsWith(const QByteArray &bytes, const char *magic, qsizetype size)
{
    return bytes.startsWith(QByteArray::fromRawData(magic, size));
}

PlanFromFile readPlan(const QByteArray &bytes, const QString &name, const QLocale &locale)
{
    if (startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return planFromChart(sheet::xls::readXlsFile(bytes, {.columns = kTaskColumns, .cells = kLargestPlanCells}),
                             name, locale);
    if (startsWith(bytes, "PK\x03\x04", 4))
        return planFromChart(sheet::xlsx::readXlsxValues(bytes, {.columns = kTaskColumns}), name, locale);
    if (const std::optional<QString> text = fileText(bytes))
        return planFromTaskList(*text, name);
    throw Failure(QStringLiteral("%1 is neither a chart workbook (.xls, .xlsx) nor a list of tasks (CSV or "
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
    if (bytes.size() > kLargestPlanFile)
        tooLarge(name);
    PlanFromFile plan;
    try {
        plan = readPlan(bytes, name, locale);
    } catch (const Failure &failure) {
        if (failure.description().contains(name))
            throw;
        throw Failure(QStringLiteral("%1 cannot be read as a plan. %2").arg(name, failure.description()));
    }
    checkPlanSize(plan.lists);
    return plan;
}

PlanFromFile readPlanFile(const QString &path, const QLocale &locale)
{
    const QFileInfo file(path);
    if (file.isFile() && file.size() > kLargestPlanFile)
        tooLarge(file.fileName());
    return readPlanBytes(sheet::readWholeFile(path, sheet::Links::Follow), file.fileName(), locale);
}

} // namespace orv::chart
