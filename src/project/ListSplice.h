#pragma once

#include "app/DelimitedText.h"
#include "app/ListCodec.h"

#include <QString>
#include <optional>

namespace orv {

// The number of lists of the main window, one per tab.
inline constexpr int kListKinds = 3;

// "1 task", "12 tasks", "1 category", "2 special events"...
QString countedItems(ListKind list, int count);
// "task", "category", "special event".
QString itemNoun(ListKind list);

// One change to one list: from `position` (from 1) on, the items `removed`
// gave way to the items `inserted`.
struct ListSplice {
    ListKind list = ListKind::Categories;
    int position = 1;
    ListRecords removed;
    ListRecords inserted;
};

// The one splice that turns `before` into `after`: what lies between their
// common start and their common end. Nothing when the two are equal.
std::optional<ListSplice> spliceBetween(ListKind list, const ListRecords &before, const ListRecords &after);

// The splice that takes `splice` back.
ListSplice reversed(const ListSplice &splice);

// Applies `splice` to `records`, which hold what it removes.
void applySplice(ListRecords &records, const ListSplice &splice);

} // namespace orv
