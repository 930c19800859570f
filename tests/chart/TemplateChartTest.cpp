// The template at work: the calendar, bars, weekends, events and the current
// day as the engine computes them from the values the chart builder writes.

#include "TemplateUnderTest.h"
#include "sheet/DateSerial.h"
#include "sheet/RowOperations.h"
#include "sheet/TypedInput.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/Recalculation.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

using namespace sheet;

constexpr QRgb kNoFill = 0;
constexpr QRgb kCompletedTask = 0xFFFF99;
constexpr QRgb kTaskBar = 0x33CCCC;
constexpr QRgb kCompletedSubTask = 0x00FF00;
constexpr QRgb kSubTaskBar = 0xCC99FF;
constexpr QRgb kTaskWeekend = 0xC0C0C0;
constexpr QRgb kTaskEvent = 0xCCFFCC;
constexpr QRgb kToday = 0xFF8080;
constexpr QRgb kDeliverable = 0x333399;
constexpr QRgb kLightYellow = 0xFFFF99;
constexpr QRgb kBrightGreen = 0x00FF00;
constexpr QRgb kMonday = 0x99CCFF;
constexpr QRgb kBehindPlan = 0xFF99CC;

constexpr int kFirstDayColumn = 7;
constexpr int kDays = 196;

// Today is Monday 7 December 2026, so an empty plan's calendar starts on
// Saturday 7 November 2026.
class TemplateChart : public ::testing::Test {
protected:
    TemplateChart() : book(readChartTemplate()), plan(book.sheet(0)) {}

    static double serial(QDate date) { return *serialFromDate(date); }
    void setDate(const char *a1, QDate date) { enterValue(plan, at(a1), serial(date)); }
    void setText(const char *a1, const char *text) { enterValue(plan, at(a1), QString::fromUtf8(text)); }
    void setNumber(const char *a1, double number) { enterValue(plan, at(a1), number); }
    void recalculate() { sheet::recalculate(book, clock); }

    double number(CellAddress where) const
    {
        const Cell *cell = plan.cell(where);
        return cell && std::holds_alternative<double>(cell->value) ? std::get<double>(cell->value) : -1;
    }
    double firstDay() const { return number({5, kFirstDayColumn}); }
    int columnOf(QDate day) const
    {
        const int column = kFirstDayColumn + static_cast<int>(serial(day) - firstDay());
        EXPECT_TRUE(column >= kFirstDayColumn && column < kFirstDayColumn + kDays) << "not in the calendar";
        return column;
    }

    ConditionalStyle lookAt(int row, int column) const
    {
        const Evaluator evaluator(book, clock);
        return conditionalStyleAt(evaluator, plan, {row - 1, column});
    }
    QRgb fillOn(int row, QDate day) const
    {
        const ConditionalStyle look = lookAt(row, columnOf(day));
        return look.fill ? look.fill->color.rgb & 0xFFFFFF : kNoFill;
    }

    test::FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 30))};
    Workbook book;
    Sheet &plan;
};

TEST_F(TemplateChart, EmptyPlanStartsThirtyDaysBeforeTodayAndSpans196Days)
{
    recalculate();
    EXPECT_EQ(firstDay(), serial(QDate(2026, 11, 7)));
    for (int column = kFirstDayColumn; column < kFirstDayColumn + kDays; ++column)
        EXPECT_EQ(number({5, column}), firstDay() + (column - kFirstDayColumn));
    EXPECT_EQ(number({5, kFirstDayColumn + kDays}), -1) << "no day after GU";
}

TEST_F(TemplateChart, MonthLabelsStandInTheFirstColumnOfEachMonth)
{
    recalculate();
    std::vector<QDate> labelled;
    for (int column = kFirstDayColumn; column < kFirstDayColumn + kDays; ++column) {
        const Cell *label = plan.cell({3, column});
        ASSERT_NE(label, nullptr);
        if (std::holds_alternative<double>(label->value)) {
            EXPECT_EQ(std::get<double>(label->value), number({5, column}));
            labelled.push_back(qdateFromSerial(number({5, column})));
        } else {
            EXPECT_EQ(label->value, Value(QString()));
        }
    }
    const std::vector<QDate> expected = {QDate(2026, 11, 7), QDate(2026, 12, 1), QDate(2027, 1, 1),
                                         QDate(2027, 2, 1),  QDate(2027, 3, 1),  QDate(2027, 4, 1),
                                         QDate(2027, 5, 1)};
    EXPECT_EQ(labelled, expected);
}

// The deliverable row's D10 and E10 take part in MIN(D3:E15): while the
// plan's tasks have no dates they are 0 and the calendar starts 30 days back.
struct StartCase {
    const char *name;
    bool datedTask; // a task from 10 to 20 December in row 11
    const char *cell;
    QDate date;
    QDate firstDay;
};
class TemplateCalendarStart : public TemplateChart, public ::testing::WithParamInterface<StartCase> {};

TEST_P(TemplateCalendarStart, IsTheEarliestPlanDateButAtMostThirtyDaysBack)
{
    if (GetParam().datedTask) {
        setDate("D11", QDate(2026, 12, 10));
        setDate("E11", QDate(2026, 12, 20));
    }
    if (GetParam().cell)
        setDate(GetParam().cell, GetParam().date);
    recalculate();
    EXPECT_EQ(firstDay(), serial(GetParam().firstDay));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TemplateCalendarStart,
    ::testing::Values(StartCase{"TaskStart", true, nullptr, {}, QDate(2026, 12, 10)},
                      StartCase{"EventStart", true, "D3", QDate(2026, 11, 20), QDate(2026, 11, 20)},
                      StartCase{"LastEventEnd", true, "E7", QDate(2026, 11, 24), QDate(2026, 11, 24)},
                      StartCase{"LastRowOfTheRange", true, "E15", QDate(2026, 11, 30), QDate(2026, 11, 30)},
                      StartCase{"LongAgo", true, "D3", QDate(2026, 1, 1), QDate(2026, 11, 7)},
                      StartCase{"BelowTheRange", true, "D16", QDate(2026, 11, 20), QDate(2026, 12, 10)},
                      StartCase{"EventWithUndatedPlan", false, "D3", QDate(2026, 11, 20), QDate(2026, 11, 7)}),
    [](const auto &info) { return std::string(info.param.name); });

// A task from Tuesday 1 to Thursday 10 December, half done: the completed
// part runs to 1 + 0.5 x 9 = 5.5 December.
class TemplateTaskBar : public TemplateChart {
protected:
    void planTask(const char *nameCell, double fraction)
    {
        setText(nameCell, "Build");
        setDate("D11", QDate(2026, 12, 1));
        setDate("E11", QDate(2026, 12, 10));
        setNumber("F11", fraction);
        setText("B3", "Fair");
        setDate("D3", QDate(2026, 12, 21));
        setDate("E3", QDate(2026, 12, 22));
        recalculate();
    }
};

TEST_F(TemplateTaskBar, ShowsTheCompletedPartThenTheRestOfTheBar)
{
    planTask("B11", 0.5);
    for (int day = 1; day <= 5; ++day)
        EXPECT_EQ(fillOn(11, QDate(2026, 12, day)), kCompletedTask) << day;
    for (int day = 6; day <= 10; ++day)
        EXPECT_EQ(fillOn(11, QDate(2026, 12, day)), kTaskBar) << day;
    EXPECT_TRUE(lookAt(11, columnOf(QDate(2026, 12, 3))).borders.has_value());
}

TEST_F(TemplateTaskBar, LeavesWeekendsEventsAndTodayToTheDaysOutsideTheBar)
{
    planTask("B11", 0.5);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 12)), kTaskWeekend);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 13)), kTaskWeekend);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 21)), kTaskEvent);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 14)), kNoFill);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 15)), kNoFill);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 7)), kTaskBar) << "the bar covers today";
    EXPECT_EQ(fillOn(12, QDate(2026, 12, 7)), kToday) << "the spacer row marks today";
    EXPECT_EQ(fillOn(12, QDate(2026, 12, 6)), kTaskWeekend);
}

TEST_F(TemplateTaskBar, SubTaskHasItsOwnColours)
{
    planTask("C11", 0.5);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 2)), kCompletedSubTask);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 9)), kSubTaskBar);
    EXPECT_EQ(fillOn(11, QDate(2026, 12, 12)), kTaskWeekend);
}

struct FractionCase {
    double fraction;
    int completedDays;
};
class TemplateTaskFraction : public TemplateTaskBar, public ::testing::WithParamInterface<FractionCase> {};

TEST_P(TemplateTaskFraction, ColoursThatShareOfTheBarAsCompleted)
{
    planTask("B11", GetParam().fraction);
    int completed = 0;
    int bar = 0;
    for (int day = 1; day <= 10; ++day) {
        const QRgb fill = fillOn(11, QDate(2026, 12, day));
        completed += fill == kCompletedTask;
        bar += fill == kTaskBar;
    }
    EXPECT_EQ(completed, GetParam().completedDays);
    EXPECT_EQ(completed + bar, 10);
}

INSTANTIATE_TEST_SUITE_P(Fractions, TemplateTaskFraction,
                         ::testing::Values(FractionCase{0, 0}, FractionCase{0.1, 1}, FractionCase{0.8, 8},
                                           FractionCase{1, 10}));

TEST_F(TemplateTaskBar, NoBarForATaskOutsideTheCalendar)
{
    setText("B11", "Old");
    setDate("D11", QDate(2026, 1, 5));
    setDate("E11", QDate(2026, 1, 30));
    recalculate();
    for (int column = kFirstDayColumn; column < kFirstDayColumn + kDays; ++column) {
        const ConditionalStyle look = lookAt(11, column);
        EXPECT_FALSE(look.borders.has_value()) << column;
    }
}

TEST_F(TemplateTaskBar, DeliverableRowSpansItsTasks)
{
    planTask("B11", 0.5);
    EXPECT_EQ(number(at("D10")), serial(QDate(2026, 12, 1)));
    EXPECT_EQ(number(at("E10")), serial(QDate(2026, 12, 10)));
    for (int day = 1; day <= 10; ++day)
        EXPECT_EQ(fillOn(10, QDate(2026, 12, day)), kDeliverable) << day;
    EXPECT_EQ(lookAt(10, columnOf(QDate(2026, 12, 2))).fontColor, rgb(0x000080));
    EXPECT_EQ(fillOn(10, QDate(2026, 12, 12)), kLightYellow);
    EXPECT_EQ(fillOn(10, QDate(2026, 12, 22)), kBrightGreen);
    EXPECT_EQ(fillOn(10, QDate(2026, 12, 15)), kNoFill);
}

TEST_F(TemplateChart, DeliverableWithoutDatesShowsNoBar)
{
    recalculate();
    EXPECT_EQ(number(at("D10")), 0);
    EXPECT_EQ(number(at("E10")), 0);
    for (int column = kFirstDayColumn; column < kFirstDayColumn + kDays; ++column)
        EXPECT_NE(lookAt(10, column).fill, (Fill{FillPattern::Solid, rgb(kDeliverable)})) << column;
}

TEST_F(TemplateChart, DayDatesMarkTodayMondaysAndWeekends)
{
    recalculate();
    EXPECT_EQ(fillOn(6, QDate(2026, 12, 7)), kToday);
    EXPECT_EQ(fillOn(7, QDate(2026, 12, 7)), kToday);
    EXPECT_EQ(fillOn(6, QDate(2026, 12, 14)), kMonday);
    EXPECT_EQ(fillOn(6, QDate(2026, 12, 12)), kLightYellow);
    EXPECT_EQ(fillOn(6, QDate(2026, 12, 13)), kLightYellow);
    EXPECT_EQ(fillOn(6, QDate(2026, 12, 15)), kNoFill);
}

TEST_F(TemplateChart, MonthChangeIsMarkedOnTheFirstDayOfTheMonth)
{
    recalculate();
    const ConditionalStyle first = lookAt(4, columnOf(QDate(2026, 12, 1)));
    ASSERT_TRUE(first.borders.has_value());
    EXPECT_NE(first.borders->left.style, BorderStyle::None);
    EXPECT_FALSE(lookAt(5, columnOf(QDate(2026, 12, 2))).borders.has_value());
}

// The chart builder copies the block of rows 10 to 13 for a second
// deliverable and the task row for a second task: the formulas and the
// conditional formats work on in the copies. Two deliverables, the first
// with two tasks: rows 10 to 14 and 15 to 18.
TEST_F(TemplateChart, CopiedBlocksAndTaskRowsDrawTheirOwnBars)
{
    insertCopiedRows(book, plan, 13, copyRows(plan, 9, 12));
    insertCopiedRows(book, plan, 11, copyRows(plan, 10, 10));
    setText("A10", "Design");
    setText("B11", "Sketch");
    setDate("D11", QDate(2026, 12, 1));
    setDate("E11", QDate(2026, 12, 5));
    setText("B12", "Review");
    setDate("D12", QDate(2026, 12, 3));
    setDate("E12", QDate(2026, 12, 10));
    setText("A15", "Build");
    setText("B16", "Frame");
    setDate("D16", QDate(2026, 12, 8));
    setDate("E16", QDate(2026, 12, 12));
    recalculate();

    EXPECT_EQ(firstDay(), serial(QDate(2026, 12, 1)));
    EXPECT_EQ(number(at("E10")), serial(QDate(2026, 12, 10)));
    EXPECT_EQ(number(at("D15")), serial(QDate(2026, 12, 8)));
    EXPECT_EQ(number(at("E15")), serial(QDate(2026, 12, 12)));
    EXPECT_EQ(fillOn(12, QDate(2026, 12, 9)), kTaskBar);
    EXPECT_EQ(fillOn(12, QDate(2026, 12, 2)), kNoFill);
    EXPECT_EQ(fillOn(16, QDate(2026, 12, 11)), kTaskBar);
    EXPECT_EQ(fillOn(16, QDate(2026, 12, 13)), kTaskWeekend);
    EXPECT_EQ(fillOn(15, QDate(2026, 12, 9)), kDeliverable);
    EXPECT_EQ(fillOn(15, QDate(2026, 12, 7)), kNoFill);
    EXPECT_EQ(fillOn(10, QDate(2026, 12, 7)), kDeliverable);
    EXPECT_EQ(fillOn(17, QDate(2026, 12, 7)), kToday) << "the copied spacer row";
}

struct BehindCase {
    const char *name;
    QDate start;
    QDate end;
    double fraction;
    bool behind;
};
class TemplateBehindPlan : public TemplateChart, public ::testing::WithParamInterface<BehindCase> {};

TEST_P(TemplateBehindPlan, HighlightsTheTaskNameWhenTodayIsPastThePlannedProgress)
{
    setText("B11", "Write");
    if (GetParam().start.isValid())
        setDate("D11", GetParam().start);
    setDate("E11", GetParam().end);
    setNumber("F11", GetParam().fraction);
    recalculate();
    for (int column = 0; column <= 2; ++column) {
        const ConditionalStyle look = lookAt(11, column);
        EXPECT_EQ(look.fill.has_value(), GetParam().behind) << column;
        if (GetParam().behind) {
            EXPECT_EQ(look.fill->color, rgb(kBehindPlan));
            EXPECT_EQ(look.fontColor, rgb(0x993300));
        }
    }
}

// From 20 November to 20 December the planned progress on 7 December is 17/30.
INSTANTIATE_TEST_SUITE_P(
    Tasks, TemplateBehindPlan,
    ::testing::Values(BehindCase{"FarBehind", QDate(2026, 11, 20), QDate(2026, 12, 20), 0.1, true},
                      BehindCase{"JustBehind", QDate(2026, 11, 20), QDate(2026, 12, 20), 0.5, true},
                      BehindCase{"AheadOfPlan", QDate(2026, 11, 20), QDate(2026, 12, 20), 0.6, false},
                      BehindCase{"Done", QDate(2026, 11, 1), QDate(2026, 11, 20), 1.0, false},
                      BehindCase{"NotStarted", QDate(2026, 12, 10), QDate(2026, 12, 20), 0, false},
                      BehindCase{"NoStartDate", QDate(), QDate(2026, 12, 20), 0, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::chart::testing
