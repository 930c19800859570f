#include "app/ListTable.h"

#include "app/ColumnNames.h"
#include "app/PlanValues.h"

#include <QSet>
#include <algorithm>

namespace orv {

namespace {

using ColumnFields = std::vector<std::optional<PlanField>>;

qsizetype fieldIndex(ListKind kind, PlanField field)
{
    const std::vector<PlanField> &fields = listFields(kind);
    const auto at = std::find(fields.begin(), fields.end(), field);
    return at == fields.end() ? -1 : at - fields.begin();
}

qsizetype columnOf(const ColumnFields &columns, PlanField field)
{
    const auto at = std::find(columns.begin(), columns.end(), std::optional<PlanField>(field));
    return at == columns.end() ? -1 : at - columns.begin();
}

// True when a column holds fractions completed: every filled value a bare
// number from 0 to 1, and one at least strictly between (a column of only
// 0 and 1 reads as percentages).
bool holdsFractions(const ListRecords &rows, qsizetype column, const QLocale &locale)
{
    bool between = false;
    for (const QStringList &row : rows) {
        const QString value = row.value(column).trimmed();
        if (value.isEmpty())
            continue;
        const std::optional<double> number = plainNumber(value, locale);
        if (!number || *number < 0 || *number > 1)
            return false;
        between = between || (*number > 0 && *number < 1);
    }
    return between;
}

QString valueIn(PlanField field, const QString &text, bool fractions, const QLocale &locale)
{
    switch (field) {
    case PlanField::Percent:
        if (fractions && plainNumber(text, locale))
            return percentOfFraction(*plainNumber(text, locale));
        return percentText(text, locale);
    case PlanField::Start:
    case PlanField::End:
        return dateText(text, locale);
    case PlanField::SubTask:
        return subTaskMark(text);
    default:
        return text;
    }
}

// One row as an item of the list: each field from its column.
QStringList itemOf(const QStringList &row, const ColumnFields &columns, ListKind kind, bool fractions,
                   const QLocale &locale)
{
    QStringList item(qsizetype(listFields(kind).size()));
    bool subLevel = false;
    for (qsizetype column = 0; column < row.size() && column < qsizetype(columns.size()); ++column) {
        if (!columns[column])
            continue;
        const PlanField field = *columns[column];
        if (field == PlanField::OutlineLevel)
            subLevel = isSubLevel(row[column]);
        else
            item[fieldIndex(kind, field)] = valueIn(field, row[column], fractions, locale);
    }
    if (subLevel)
        item[fieldIndex(kind, PlanField::SubTask)] = QStringLiteral("V");
    return item;
}

class TableReader {
public:
    TableReader(ListTable &table, ListKind kind) : mTable(table), mKind(kind) {}

    void stop(int row, int rows, const QString &why)
    {
        mTable.stoppedRow = row;
        mTable.stoppedRows = rows;
        mTable.stop = why;
    }

    void take(const QStringList &item)
    {
        if (mKind != ListKind::Tasks) {
            mTable.items << item;
            return;
        }
        const QString &category = item[fieldIndex(mKind, PlanField::Category)];
        const bool summary = item[0].trimmed().isEmpty() && !category.isEmpty();
        if (!category.isEmpty() && !mKnown.contains(category)) {
            mKnown.insert(category);
            mTable.categories << category;
        }
        if (!summary)
            mTable.items << item;
        else if (!mSummaries.contains(category)) {
            mSummaries.insert(category);
            mTable.summaryCategories << category;
        }
    }

private:
    ListTable &mTable;
    ListKind mKind;
    QSet<QString> mKnown;
    QSet<QString> mSummaries;
};

ColumnFields listOrder(ListKind kind)
{
    const std::vector<PlanField> &fields = listFields(kind);
    return ColumnFields(fields.begin(), fields.end());
}

} // namespace

ListTable readListTable(QStringView text, ListKind kind, const QLocale &locale)
{
    ListTable table;
    TableReader reader(table, kind);
    const qsizetype rowLimit = kMostListRows + 2; // a header, the items, one more
    const LimitedRows read = parseDelimitedText(text, detectSeparator(text), {rowLimit, kLongestField});
    table.readToEnd = read.rows.size() < rowLimit && !read.longField;
    ListRecords rows = read.rows;
    const std::optional<HeaderColumns> header = rows.isEmpty() ? std::nullopt : headerColumns(rows.first(), kind);
    const int firstRow = header ? 2 : 1;
    ColumnFields columns = listOrder(kind);
    if (header) {
        rows.removeFirst();
        table.hadHeader = true;
        table.leftOut = header->leftOut;
        columns = header->fields;
        if (columnOf(columns, listFields(kind).front()) < 0) {
            reader.stop(1, int(rows.size()) + 1,
                        QStringLiteral("its first row names no %1 column; the names understood are %2")
                            .arg(listCaptions(kind).front(), understoodNames(kind)));
            return table;
        }
    }
    const qsizetype percentColumn = columnOf(columns, PlanField::Percent);
    table.fractions = header && percentColumn >= 0 && holdsFractions(rows, percentColumn, locale);
    const int width = int(listFields(kind).size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int rowNumber = firstRow + int(i);
        const int rest = int(rows.size() - i);
        if (i >= kMostListRows) {
            reader.stop(rowNumber, rest, QStringLiteral("a list takes at most 32,767 items"));
            return table;
        }
        if (!header && !fitsColumns(rows[i], width)) {
            reader.stop(rowNumber, rest,
                        QStringLiteral("row %1 has %2 columns; the list has %3 (%4)")
                            .arg(rowNumber)
                            .arg(rows[i].size())
                            .arg(width)
                            .arg(listCaptions(kind).join(QStringLiteral(", "))));
            return table;
        }
        reader.take(itemOf(rows[i], columns, kind, table.fractions, locale));
    }
    if (read.longField)
        reader.stop(
            firstRow + int(rows.size()), 1,
            QStringLiteral("row %1 holds a field of more than 32,767 characters").arg(firstRow + int(rows.size())));
    return table;
}

} // namespace orv
