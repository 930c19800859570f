// The words for what a chart cell shows, on a sheet laid out as the chart
// template lays it out.
#include "chart/CellMeaning.h"
#include "sheet/DateSerial.h"
#include "sheet/model/Sheet.h"

#include <gtest/gtest.h>

namespace orv::chart {
namespace {

using sheet::CellAddress;

constexpr int kFirstDay = 7; // column H
const QDate kCalendarStart(2024, 3, 11); // a Monday
const QDate kToday(2024, 3, 15);

// Rows 0-based: event in row 3 (index 2), the columns' dates in row 6
// (index 5), a deliverable in row 10, a task in row 11, a sub-task in row 12.
// A column stands for `step` days: 1 for the day chart, 7 for weeks.
sheet::Sheet chartSheet(int step)
{
    sheet::Sheet sheet(QStringLiteral("Project Plan"));
    const auto put = [&sheet](int row, int column, sheet::Value value) { sheet.setCell({row, column}, {value, {}, 0}); };
    const auto date = [](QDate day) { return double(*sheet::serialFromDate(day)); };
    for (int i = 0; i < 196; ++i)
        put(5, kFirstDay + i, date(kCalendarStart.addDays(i * step)));
    put(2, 1, QStringLiteral("Trade fair"));
    put(2, 3, date(QDate(2024, 3, 19)));
    put(2, 4, date(QDate(2024, 3, 20)));
    put(9, 0, QStringLiteral("Project Deliverable 1"));
    put(9, 3, date(QDate(2024, 3, 11)));
    put(9, 4, date(QDate(2024, 3, 22)));
    put(10, 1, QStringLiteral("Build"));
    put(10, 3, date(QDate(2024, 3, 12)));
    put(10, 4, date(QDate(2024, 3, 14)));
    put(10, 5, 0.2);
    put(11, 2, QStringLiteral("Paint"));
    put(11, 3, date(QDate(2024, 3, 11)));
    put(11, 4, date(QDate(2024, 3, 30)));
    put(11, 5, 0.5);
    return sheet;
}

int dayColumn(QDate day) { return kFirstDay + int(kCalendarStart.daysTo(day)); }

struct Meaning {
    CellAddress at;
    const char *words;
    int step = 1;
};

class CellMeanings : public ::testing::TestWithParam<Meaning> {};

TEST_P(CellMeanings, SayWhatTheLookMeansAndWhoseItIs)
{
    EXPECT_EQ(cellMeaning(chartSheet(GetParam().step), GetParam().at, kToday).toStdString(), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellMeanings,
    ::testing::Values(
        Meaning{{10, dayColumn(QDate(2024, 3, 13))}, "Build, 3/12–3/14, 20 % done"},
        Meaning{{10, dayColumn(QDate(2024, 3, 16))}, "Weekend"},
        Meaning{{10, dayColumn(QDate(2024, 3, 15))}, "Today"},
        Meaning{{10, dayColumn(QDate(2024, 3, 19))}, "Special event: Trade fair"},
        Meaning{{10, dayColumn(QDate(2024, 3, 18))}, ""},
        Meaning{{9, dayColumn(QDate(2024, 3, 16))}, "Project Deliverable 1, 3/11–3/22"},
        Meaning{{11, dayColumn(QDate(2024, 3, 16))}, "Paint, 3/11–3/30, 50 % done"},
        Meaning{{10, 1}, "Behind plan: Build, 3/12–3/14, 20 % done"},
        Meaning{{11, 4}, "Paint, 3/11–3/30, 50 % done"},
        Meaning{{2, 3}, "Special event: Trade fair, 3/19–3/20"},
        Meaning{{5, dayColumn(kToday)}, "Today, Fri 3/15/2024"},
        Meaning{{6, dayColumn(QDate(2024, 3, 17))}, "Weekend, Sun 3/17/2024"},
        Meaning{{12, dayColumn(QDate(2024, 3, 16))}, ""},
        Meaning{{8, 3}, ""},
        Meaning{{10, kFirstDay + 196}, ""},
        // Weeks from Monday 3/11: a column holds whatever overlaps its week.
        Meaning{{10, kFirstDay}, "Build, 3/12–3/14, 20 % done", 7},
        Meaning{{10, kFirstDay + 1}, "Special event: Trade fair", 7},
        Meaning{{10, kFirstDay + 2}, "", 7},
        Meaning{{11, kFirstDay + 2}, "Paint, 3/11–3/30, 50 % done", 7},
        Meaning{{5, kFirstDay}, "Today, Mon 3/11/2024", 7},
        Meaning{{5, kFirstDay + 1}, "Mon 3/18/2024", 7}));

} // namespace
} // namespace orv::chart
