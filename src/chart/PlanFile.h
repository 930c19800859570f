#pragma once

#include "chart/ProjectLists.h"
#include "chart/template/CalendarScale.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace orv::chart {

// A plan read back from a file, with what the file could not hold.
struct PlanFromFile {
    ProjectLists lists;
    // One sentence each, for the user: what the lists may lack or hold
    // differently from the plan the file was made from.
    QStringList notes;
    // The calendar scale of a chart workbook; nothing for a task list or a
    // chart whose date row says none.
    std::optional<CalendarScale> scale;
};

// Reads a plan from a file, chosen by its content, not its name:
// - a chart workbook this program wrote, .xls or .xlsx, also after a
//   spreadsheet application changed and saved it: the events from rows 3 to
//   7, one category per deliverable row, each task under its category with
//   its sub-task mark (name in column C), its percentage from column F, and
//   its dates in `locale`'s short date form, and its calendar's scale;
// - a CSV or tab-separated list of tasks read as ListTable.h says: by the
//   names of its first row's columns in any order, or else in the task
//   list's own order, values in other tools' forms turned into the lists'
//   forms; the categories are the ones the rows name, tasks and summary
//   rows alike, in the order they first appear; rows of empty cells are
//   passed over.
// Throws a Failure with a message for the user when the file cannot be read
// or is neither of these (another workbook, a damaged file, one larger than
// 64 MiB or one that changes while it is read, one that holds no category,
// task or special event, a table of another kind such as /etc/passwd, a
// header without a task column, more rows or longer fields than a list
// takes).
PlanFromFile readPlanFile(const QString &path, const QLocale &locale = QLocale());

// The same for a file's bytes; `name` is the file's name for the messages.
PlanFromFile readPlanBytes(const QByteArray &bytes, const QString &name, const QLocale &locale = QLocale());

} // namespace orv::chart
