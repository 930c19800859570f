#pragma once

#include "sheet/model/CellAddress.h"

#include <QDate>
#include <QString>

namespace orv::sheet {
class Sheet;
}

namespace orv::chart {

// What a cell of a chart sheet shows, in words, and whose it is: on a bar
// "Build, 5/1–10/29, 20 % done"; on a column of the calendar "Weekend",
// "Special event: Trade fair" or "Today"; on the name of a task behind its
// plan "Behind plan: " and the task. The looks are the ones the chart
// template's conditional formats give, decided from the same cells: a day is
// a date of the day-date row, a row's dates and fraction are its columns D
// to F. `today` is the day the chart shows as today. Empty for a cell that
// shows nothing of the plan.
QString cellMeaning(const sheet::Sheet &sheet, sheet::CellAddress at, QDate today);

// How many tasks and sub-tasks a chart sheet shows.
int chartedTaskCount(const sheet::Sheet &sheet);

} // namespace orv::chart
