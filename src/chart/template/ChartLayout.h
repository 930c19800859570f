#pragma once

#include "sheet/model/CellAddress.h"

#include <QString>

// Where things stand on the chart sheet "Project Plan", in the sheet's own
// row and column numbers (row 1, column 1 = A): the template writes them,
// the builder fills them, the size limits count them and the plan reader
// finds them again. A change of the chart's geometry happens here alone.
namespace orv::chart::layout {

// Columns A to G: names, dates, the fraction completed and a narrow gap.
inline constexpr int kDeliverableColumn = 1; // A, merged A:C on deliverable rows
inline constexpr int kTaskColumn = 2;        // B, also the special events' names
inline constexpr int kSubTaskColumn = 3;     // C
inline constexpr int kStartColumn = 4;       // D
inline constexpr int kEndColumn = 5;         // E
inline constexpr int kPercentColumn = 6;     // F
inline constexpr int kGapColumn = 7;         // G, the last column that stays in view

// The special events' slots, rows 3 to 7.
inline constexpr int kFirstEventRow = 3;
inline constexpr int kEventSlots = 5;

// The headings "Start", "End", "% Compl." over the plan; the rows above it
// stay in view.
inline constexpr int kHeadingRow = 9;
inline constexpr int kLastFrozenRow = 8;

// The deliverable block the builder copies for every further category: the
// deliverable row, the task row, a spacer row and a gap row.
inline constexpr int kBlockRow = 10;
inline constexpr int kFirstTaskRow = kBlockRow + 1;
inline constexpr int kSpacerRow = kBlockRow + 2;
inline constexpr int kBlockRows = 4;

// The calendar: the month's name in the rows from kMonthRow, each day's date
// in the rows from kDateRow, one column per day. A week or month calendar
// (CalendarScale.h) has one column per period, as many as its plan needs;
// the month row then names the month or the year, the date row holds the
// period's first day.
inline constexpr int kMonthRow = 4;
inline constexpr int kDateRow = 6;
inline constexpr int kFirstDayColumn = 8; // H
inline constexpr int kDays = 196;
inline constexpr int kLastDayColumn = kFirstDayColumn + kDays - 1; // GU

// The print area: the plan rows of the calendar up to column GH (the
// template's own choice, a little short of the calendar's end).
inline constexpr int kLastPrintedColumn = 190; // GH
inline constexpr int kLastPrintedRow = 17;

// The calendar columns of the given rows, as a 0-based cell range; a week
// or month calendar ends at its own last column.
constexpr sheet::CellRange calendarRows(int firstRow, int lastRow, int lastColumn = kLastDayColumn)
{
    return {firstRow - 1, kFirstDayColumn - 1, lastRow - 1, lastColumn - 1};
}

// The block's rows as the builder selects them ("10:13").
inline QString blockRowsText()
{
    return QStringLiteral("%1:%2").arg(kBlockRow).arg(kBlockRow + kBlockRows - 1);
}

} // namespace orv::chart::layout
