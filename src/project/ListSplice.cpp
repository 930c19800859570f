#include "project/ListSplice.h"

#include <algorithm>

namespace orv {

QString countedItems(ListKind list, int count)
{
    const bool one = count == 1;
    switch (list) {
    case ListKind::Categories:
        return one ? QStringLiteral("1 category") : QStringLiteral("%1 categories").arg(count);
    case ListKind::Tasks:
        return one ? QStringLiteral("1 task") : QStringLiteral("%1 tasks").arg(count);
    case ListKind::Events:
        break;
    }
    return one ? QStringLiteral("1 special event") : QStringLiteral("%1 special events").arg(count);
}

QString itemNoun(ListKind list)
{
    return countedItems(list, 1).mid(2);
}

std::optional<ListSplice> spliceBetween(ListKind list, const ListRecords &before, const ListRecords &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < shorter && before[start] == after[start])
        ++start;
    if (start == before.size() && start == after.size())
        return std::nullopt;
    qsizetype end = 0; // items equal at the end of both, after `start`
    while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end])
        ++end;
    return ListSplice{list, int(start) + 1, before.mid(start, before.size() - start - end),
                      after.mid(start, after.size() - start - end)};
}

ListSplice reversed(const ListSplice &splice)
{
    return {splice.list, splice.position, splice.inserted, splice.removed};
}

void applySplice(ListRecords &records, const ListSplice &splice)
{
    const qsizetype at = splice.position - 1;
    ListRecords rest = records.mid(at + splice.removed.size());
    records.resize(at);
    records += splice.inserted;
    records += rest;
}

} // namespace orv
