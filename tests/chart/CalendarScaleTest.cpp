// Week and month calendars built by the real builder and computed by our
// evaluator: which periods a bar, its completed part, an event and today
// cover; the day chart as it always was; plans read back with their scale.

#include "ChartWorkbooks.h"
#include "app/ShortDate.h"
#include "chart/PlanFile.h"
#include "chart/template/ChartLayout.h"
#include "sheet/DateSerial.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/Recalculation.h"

#include <QFile>

namespace orv::chart::test {
namespace {

using sheet::CellAddress;

constexpr QRgb kNoFill = 0;
constexpr QRgb kCompleted = 0xFFFF99;
constexpr QRgb kTaskBar = 0x33CCCC;
constexpr QRgb kSubTaskBar = 0xCC99FF;
constexpr QRgb kEvent = 0xCCFFCC;
constexpr QRgb kToday = 0xFF8080;
constexpr QRgb kDeliverable = 0x333399;

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

QString us(int year, int month, int day) { return shortDateText(QDate(year, month, day), kUs); }

// Rows of the built chart: deliverable 10, tasks 11 to 13, spacer 14.
enum Row { DateRow = 6, DeliverableRow = 10, WedToTue = 11, WithinMarch = 12, JanToMarch = 13, Spacer = 14 };

// Today is Wednesday 13 January 2027.
class ScaledChart : public ChartBuilderTest {
protected:
    ScaledChart()
    {
        lists.categories = {{"Build"}};
        lists.tasks = {{"Wednesday to Tuesday", "50", us(2027, 1, 6), us(2027, 1, 12), "Build", ""},
                       {"Within March", "0", us(2027, 3, 10), us(2027, 3, 20), "Build", "V"},
                       {"January to March", "50", us(2027, 1, 20), us(2027, 3, 20), "Build", ""}};
        lists.events = {{"Sunday meeting", us(2027, 1, 24), us(2027, 1, 24)}};
    }

    sheet::Workbook buildAt(CalendarScale scale)
    {
        ChartBuilder scaled({scripted.services, lists, window, preview, [] { return loadCustomResource(101); },
                             [scale] { return scale; }},
                            kSeed);
        scaled.PushButton6_Click();
        EXPECT_TRUE(scripted.messages.shown.empty());
        sheet::Workbook book = sheet::xls::openWorkbook(preview.excelFile);
        sheet::recalculate(book, today);
        return book;
    }

    orv::test::FixedClock today{QDateTime(QDate(2027, 1, 13), QTime(9, 0))};
};

struct Overlap {
    CalendarScale scale;
    int row;
    QDate period; // the first day of the period's column
    QRgb fill;
};

void PrintTo(const Overlap &overlap, std::ostream *out)
{
    *out << "row " << overlap.row << " " << overlap.period.toString(Qt::ISODate).toStdString();
}

class ScaledOverlap : public ScaledChart, public ::testing::WithParamInterface<std::vector<Overlap>> {};

QRgb fillAt(const sheet::Evaluator &evaluator, const sheet::Sheet &plan, int row, int column)
{
    const sheet::ConditionalStyle look = conditionalStyleAt(evaluator, plan, {row - 1, column});
    return look.fill ? look.fill->color.rgb & 0xFFFFFF : kNoFill;
}

// The column whose date row holds the period's first day.
int columnOf(const sheet::Sheet &plan, QDate period)
{
    const double serial = *sheet::serialFromDate(period);
    for (int column = layout::kFirstDayColumn - 1; column < layout::kFirstDayColumn - 1 + kMaxCalendarColumns;
         ++column) {
        const sheet::Cell *cell = plan.cell({layout::kDateRow - 1, column});
        if (cell && std::holds_alternative<double>(cell->value) && std::get<double>(cell->value) == serial)
            return column;
    }
    return -1;
}

TEST_P(ScaledOverlap, FillsEveryPeriodThatOverlaps)
{
    const sheet::Workbook book = buildAt(GetParam().front().scale);
    const sheet::Sheet &plan = book.sheet(0);
    const sheet::Evaluator evaluator(book, today);
    for (const Overlap &overlap : GetParam()) {
        const int column = columnOf(plan, overlap.period);
        ASSERT_GE(column, 0) << overlap.period.toString(Qt::ISODate).toStdString() << " has no column";
        EXPECT_EQ(fillAt(evaluator, plan, overlap.row, column), overlap.fill)
            << "row " << overlap.row << ", period of " << overlap.period.toString(Qt::ISODate).toStdString();
    }
}

constexpr auto W = CalendarScale::Weeks;
constexpr auto M = CalendarScale::Months;

// Worked by hand. Weeks start on Monday 4 January 2027 (the plan's first
// date is Wednesday 6 January). The first task's completed part ends on 9
// January, the third one's on 18.5 February.
INSTANTIATE_TEST_SUITE_P(
    Periods, ScaledOverlap,
    ::testing::Values(
        std::vector<Overlap>{
            {W, WedToTue, {2027, 1, 4}, kCompleted},
            {W, WedToTue, {2027, 1, 11}, kTaskBar},
            {W, WedToTue, {2027, 1, 18}, kEvent},
            {W, WedToTue, {2027, 1, 25}, kNoFill},
            {W, WithinMarch, {2027, 3, 1}, kNoFill},
            {W, WithinMarch, {2027, 3, 8}, kSubTaskBar},
            {W, WithinMarch, {2027, 3, 15}, kSubTaskBar},
            {W, WithinMarch, {2027, 3, 22}, kNoFill},
            {W, JanToMarch, {2027, 2, 15}, kCompleted},
            {W, JanToMarch, {2027, 2, 22}, kTaskBar},
            {W, Spacer, {2027, 1, 4}, kNoFill},
            {W, Spacer, {2027, 1, 11}, kToday},
            {W, Spacer, {2027, 1, 18}, kEvent}, // Sunday 24 January ends that week
            {W, Spacer, {2027, 1, 25}, kNoFill},
            {W, DateRow, {2027, 1, 11}, kToday},
            {W, DateRow, {2027, 1, 18}, kNoFill},
            {W, DeliverableRow, {2027, 3, 15}, kDeliverable},
            {W, DeliverableRow, {2027, 3, 22}, kNoFill},
        },
        std::vector<Overlap>{
            {M, WedToTue, {2027, 1, 1}, kCompleted},
            {M, WedToTue, {2027, 2, 1}, kNoFill},
            {M, WithinMarch, {2027, 2, 1}, kNoFill},
            {M, WithinMarch, {2027, 3, 1}, kSubTaskBar},
            {M, JanToMarch, {2027, 1, 1}, kCompleted},
            {M, JanToMarch, {2027, 2, 1}, kCompleted},
            {M, JanToMarch, {2027, 3, 1}, kTaskBar},
            {M, Spacer, {2027, 1, 1}, kEvent}, // the event comes before today
            {M, Spacer, {2027, 2, 1}, kNoFill},
            {M, DateRow, {2027, 1, 1}, kToday},
            {M, DateRow, {2027, 2, 1}, kNoFill},
            {M, DeliverableRow, {2027, 3, 1}, kDeliverable},
            {M, DeliverableRow, {2027, 4, 1}, kNoFill},
        }),
    [](const auto &info) { return std::string(info.param.front().scale == W ? "Weeks" : "Months"); });

// The day chart as it always was: chosen as a scale, the sample's and 200
// tasks' charts are the very bytes of the builder that knows no scale.
class DayScale : public ChartBuilderTest, public ::testing::WithParamInterface<void (*)(ProjectLists &)> {
protected:
    QByteArray chartBytes(std::function<CalendarScale()> scale)
    {
        ChartBuilder({scripted.services, lists, window, preview, [] { return loadCustomResource(101); }, scale}, kSeed)
            .PushButton6_Click();
        QFile file(preview.excelFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_P(DayScale, IsTheDayChartByteForByte)
{
    GetParam()(lists);
    const QByteArray unscaled = chartBytes({});
    const QByteArray days = chartBytes([] { return CalendarScale::Days; });
    ASSERT_FALSE(unscaled.isEmpty());
    EXPECT_TRUE(days == unscaled);
}

INSTANTIATE_TEST_SUITE_P(Plans, DayScale, ::testing::Values(sampleProject, twoHundredTaskProject));

// A 15-month plan, January 2027 to March 2028: every date has its column,
// the calendar ends with the plan and so does the print area.
struct Reach {
    CalendarScale scale;
    int columns;
    QDate first;
    QDate second;
    const char *dateFormat;
};

class ScaledReach : public ScaledChart, public ::testing::WithParamInterface<Reach> {};

TEST_P(ScaledReach, RunsFromThePlansFirstPeriodToItsLast)
{
    lists.tasks.push_back({"Last", "0", us(2028, 3, 2), us(2028, 3, 31), "Build", ""});
    const sheet::Workbook book = buildAt(GetParam().scale);
    const sheet::Sheet &plan = book.sheet(0);
    const int first = layout::kFirstDayColumn - 1;
    EXPECT_EQ(columnOf(plan, GetParam().first), first);
    EXPECT_EQ(columnOf(plan, GetParam().second), first + 1);
    const sheet::Cell *firstLabel = plan.cell({layout::kMonthRow - 1, first});
    ASSERT_TRUE(firstLabel);
    EXPECT_EQ(firstLabel->value, sheet::Value(double(*sheet::serialFromDate(GetParam().first))))
        << "the first period's month (year) is named even in January";
    const int last = first + GetParam().columns - 1;
    EXPECT_TRUE(plan.cell({layout::kDateRow - 1, last}));
    EXPECT_FALSE(plan.cell({layout::kDateRow - 1, last + 1})) << "no column after the plan's last period";
    EXPECT_EQ(plan.printAreas().printArea.at(0).lastColumn, last);
    EXPECT_EQ(book.format(plan.cell({layout::kDateRow - 1, last})->formatIndex).numberFormat,
              QString::fromLatin1(GetParam().dateFormat));
    const sheet::Evaluator evaluator(book, today);
    const int lastTaskRow = JanToMarch + 1;
    EXPECT_EQ(fillAt(evaluator, plan, lastTaskRow, last), kTaskBar) << "the last task's bar reaches the last column";
}

// Monday 4 January 2027 to the week of Friday 31 March 2028: 65 weeks;
// January 2027 to March 2028: 15 months.
INSTANTIATE_TEST_SUITE_P(FifteenMonths, ScaledReach,
                         ::testing::Values(Reach{W, 65, {2027, 1, 4}, {2027, 1, 11}, "m/d"},
                                           Reach{M, 15, {2027, 1, 1}, {2027, 2, 1}, "mmm"}),
                         [](const auto &info) { return std::string(info.param.scale == W ? "Weeks" : "Months"); });

// A plan without dates: the calendar starts on day 1 and the undated task
// has no bar.
class UndatedPlan : public ScaledChart, public ::testing::WithParamInterface<CalendarScale> {};

TEST_P(UndatedPlan, DrawsNoBar)
{
    lists.tasks = {{"Undated", "0", "", "", "Build", ""}};
    lists.events.clear();
    const sheet::Workbook book = buildAt(GetParam());
    const sheet::Evaluator evaluator(book, today);
    const int first = layout::kFirstDayColumn - 1;
    EXPECT_EQ(valueAt(book, layout::kDateRow, first + 1), sheet::Value(1.0));
    for (int column = first; column < first + kMinScaledColumns; ++column)
        EXPECT_EQ(fillAt(evaluator, book.sheet(0), WedToTue, column), kNoFill) << column;
}

INSTANTIATE_TEST_SUITE_P(WeeksAndMonths, UndatedPlan, ::testing::Values(CalendarScale::Weeks, CalendarScale::Months),
                         [](const auto &info) { return scaleName(info.param).toStdString(); });

// Chart, then open: the same lists and the same scale.
class ScaledRoundTrip : public ScaledChart, public ::testing::WithParamInterface<CalendarScale> {};

TEST_P(ScaledRoundTrip, GivesBackTheListsAndTheScale)
{
    buildAt(GetParam());
    const PlanFromFile plan = readPlanFile(preview.excelFile, kUs);
    EXPECT_EQ(plan.lists.categories, lists.categories);
    EXPECT_EQ(plan.lists.tasks, lists.tasks);
    EXPECT_EQ(plan.lists.events, lists.events);
    EXPECT_EQ(plan.scale, GetParam());
}

INSTANTIATE_TEST_SUITE_P(EachScale, ScaledRoundTrip,
                         ::testing::Values(CalendarScale::Days, CalendarScale::Weeks, CalendarScale::Months),
                         [](const auto &info) { return scaleName(info.param).toStdString(); });

} // namespace
} // namespace orv::chart::test
