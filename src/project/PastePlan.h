#pragma once

#include "app/DelimitedText.h"

#include <QSet>
#include <QString>
#include <QStringView>

namespace orv {

// What pasting a text into one list adds and what it refuses. The rows are
// taken in order up to the first one the list cannot take (it is full, or
// the row has more filled columns than the list); that row and the ones
// after it are refused, so that nothing is half done.
struct PastePlan {
    ListRecords added; // each with exactly the list's columns
    int refused = 0;
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
