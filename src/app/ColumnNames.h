#pragma once

#include "app/DelimitedText.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace orv {

// What a column of a table brought in holds: one of the lists' fields, or
// the outline level that marks sub-tasks.
enum class PlanField { Name, Percent, Start, End, Category, SubTask, OutlineLevel };

// The fields of a list in the order of its columns.
const std::vector<PlanField> &listFields(ListKind kind);

// The column headers that name a field, as spreadsheets and planning tools
// export them. Case, blanks and punctuation do not count: "% Complete",
// "percent-complete" and "PercentComplete" are one name.
const QStringList &fieldNames(PlanField field);

// The field a header names, or nothing for a name we do not know.
std::optional<PlanField> namedField(const QString &header);

// The columns of a table, by the names in its first row.
struct HeaderColumns {
    std::vector<std::optional<PlanField>> fields; // one for each column; nothing: left out
    QStringList leftOut;                          // the headers of the columns left out
};

// The first row of a table read as a header: it is one when it names two
// different fields, or when its one filled field is the list's first
// column header ("Task", or "Category" or "Categories"). Nothing when it holds an item.
// The fields a list does not keep are left out with the unknown columns;
// of two columns naming one field the first is read.
std::optional<HeaderColumns> headerColumns(const QStringList &row, ListKind kind);

// The header names understood for a list, for the message that refuses a
// header without the list's first column: "Task, Task Name, ...; % Compl., ...".
QString understoodNames(ListKind kind);

} // namespace orv
