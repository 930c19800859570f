// What a calendar leaves out of a plan, and the word that says so.

#include "app/ShortDate.h"
#include "chart/OutsideCalendar.h"
#include "chart/ProjectLists.h"
#include "sheet/DateSerial.h"

#include <gtest/gtest.h>

namespace orv::chart {
namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

QString us(QDate date) { return shortDateText(date, kUs); }

struct Item {
    QDate start;
    QDate end;
};

struct OutsideCase {
    const char *name;
    std::vector<Item> tasks;  // all under one category
    std::vector<Item> events;
    CalendarScale scale;
    QString word;
};

class OutsideTheCalendar : public ::testing::TestWithParam<OutsideCase> {};

// Today is Wednesday 13 January 2027: the day calendar of a plan that starts
// on 6 January 2027 runs to 20 July 2027.
TEST_P(OutsideTheCalendar, IsCountedAndSaid)
{
    ProjectLists lists;
    lists.categories = {{"Build"}, {"Unlisted"}};
    for (const Item &task : GetParam().tasks)
        lists.tasks.push_back({"Task", "0", us(task.start), us(task.end), "Build", ""});
    lists.tasks.push_back({"Never charted", "0", us({2040, 1, 1}), us({2040, 2, 1}), "Other", ""});
    lists.tasks.push_back({"Undated", "0", "", "", "Build", ""});
    for (const Item &event : GetParam().events)
        lists.events.push_back({"Event", us(event.start), us(event.end)});
    const int today = *sheet::serialFromDate({2027, 1, 13});
    const OutsideCalendar outside = outsideCalendar(PlanDates(lists, kUs), GetParam().scale, today);
    EXPECT_EQ(outsideCalendarWord(outside, GetParam().scale, kUs), GetParam().word);
}

constexpr auto D = CalendarScale::Days;
constexpr auto W = CalendarScale::Weeks;
constexpr auto M = CalendarScale::Months;

INSTANTIATE_TEST_SUITE_P(
    Plans, OutsideTheCalendar,
    ::testing::Values(
        OutsideCase{"FitsTheDays", {{{2027, 1, 6}, {2027, 7, 20}}}, {}, D, ""},
        OutsideCase{"FifteenMonthsAtDays",
                    {{{2027, 1, 6}, {2027, 2, 1}}, {{2027, 6, 1}, {2027, 8, 1}}, {{2028, 2, 1}, {2028, 3, 31}}},
                    {{{2027, 12, 24}, {2027, 12, 24}}},
                    D,
                    "2 tasks, 1 deliverable and 1 special event lie partly or wholly outside the calendar at the day "
                    "scale; the plan runs until 3/31/2028. The week scale shows it whole."},
        OutsideCase{"FifteenMonthsAtWeeks", {{{2027, 1, 6}, {2028, 3, 31}}}, {}, W, ""},
        OutsideCase{"EndedLongAgo",
                    {{{2026, 9, 1}, {2026, 11, 30}}},
                    {},
                    D,
                    "1 task and 1 deliverable lie partly or wholly outside the calendar at the day scale; the plan "
                    "runs until 11/30/2026. The week scale shows it whole."},
        OutsideCase{"FiveYearsAtWeeks",
                    {{{2027, 1, 6}, {2032, 1, 6}}},
                    {},
                    W,
                    "1 task and 1 deliverable lie partly or wholly outside the calendar at the week scale; the plan "
                    "runs until 1/6/2032. The month scale shows it whole."},
        OutsideCase{"TwentyFiveYears",
                    {{{2027, 1, 6}, {2027, 2, 6}}},
                    {{{2052, 1, 1}, {2052, 1, 1}}},
                    M,
                    "1 special event lies partly or wholly outside the calendar at the month scale; the plan runs "
                    "until 1/1/2052. No scale shows it whole."}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::chart
