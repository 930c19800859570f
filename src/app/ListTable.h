#pragma once

#include "app/DelimitedText.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace orv {

// A pasted text or a task list file read as items of one list. A first row
// that names columns (ColumnNames.h) says which column holds which field,
// in any order; without one the columns stand in the list's own order.
// Values in other tools' forms come in the lists' forms (PlanValues.h).
struct ListTable {
    ListRecords items; // each with exactly the list's columns
    // Tasks only: the categories of rows that name a category and no task,
    // as summary rows do, in the order they first appear.
    QStringList summaryCategories;
    // Tasks only: every category the rows name, summary rows and tasks, in
    // the order they first appear.
    QStringList categories;
    QStringList leftOut;    // the headers of the columns not read
    bool fractions = false; // the percentages were fractions, 0.4 for 40
    bool hadHeader = false;
    // The rows are taken up to the first one that cannot be: `stop` says
    // why, and `stoppedRow` is its number among the text's rows from 1, or 0
    // when every row was taken. Whether the reading went on past it:
    // `stoppedRows` counts the rows from it on that were read.
    int stoppedRow = 0;
    int stoppedRows = 0;
    bool readToEnd = true; // false: the text went on beyond the rows read
    QString stop;
};

// The most characters a name or other field may hold, and the most items a
// list holds.
inline constexpr int kLongestField = 32767;
inline constexpr int kMostListRows = 32767;

// Reads the text under `locale`. The reading stops at a row longer than the list (without a header),
// a field longer than kLongestField, or row kMostListRows + 1; a header that
// names no column for the list's first field takes nothing.
ListTable readListTable(QStringView text, ListKind kind, const QLocale &locale = QLocale());

} // namespace orv
