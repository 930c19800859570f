#pragma once

#include "app/DelimitedText.h"

#include <QSet>
#include <QString>
#include <QStringView>

namespace orv {

// What pasting a text into one list adds and what it refuses. A first row
// naming columns is read as in a task list file (ListTable.h). The rows are
// taken in order up to the first one the list cannot take (it is full, the
// row has more filled columns than the list, or a field is too long); that
// row and the ones after it are refused, so that nothing is half done.
struct PastePlan {
    ListRecords added; // each with exactly the list's columns
    // Pasting tasks: the categories of rows that name one and no task, to
    // go into the categories list when it lacks them.
    QStringList categories;
    QStringList leftOut; // the headers of columns the list does not keep
    bool fractions = false;
    bool namesOnly = false; // the text named columns and held no row under them
    int refused = 0;
    bool more = false; // the text holds rows beyond the ones counted as refused
    QString refusal; // why the first refused row was not taken
};

// `room`: how many more items the list takes.
PastePlan planPaste(QStringView text, ListKind list, int room);

// How many more items a list holding `count` takes: 32,767 in all, five for
// the special events (the rule of their "Add").
int pasteRoom(ListKind list, int count);

// The note after a paste: "12 tasks added; 2 name categories that are not in
// the list", and what was refused and why.
QString pasteNote(const PastePlan &plan, ListKind list, const QSet<QString> &categories);

} // namespace orv
