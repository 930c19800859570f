#include "project/ClipboardCells.h"

namespace orv {

namespace {

bool startsFormula(QChar character)
{
    return character == u'=' || character == u'+' || character == u'-' || character == u'@' || character == u'\t' ||
           character == u'\r';
}

// The apostrophes a cell begins with, when a formula's first character
// follows them; -1 otherwise.
qsizetype apostrophesBeforeFormula(const QString &cell)
{
    qsizetype count = 0;
    while (count < cell.size() && cell[count] == u'\'')
        ++count;
    return count < cell.size() && startsFormula(cell[count]) ? count : -1;
}

ListRecords eachField(ListRecords records, QString (*change)(const QString &))
{
    for (QStringList &record : records)
        for (QString &field : record)
            field = change(field);
    return records;
}

} // namespace

QString guardedCell(const QString &cell)
{
    return apostrophesBeforeFormula(cell) >= 0 ? u'\'' + cell : cell;
}

QString unguardedCell(const QString &cell)
{
    return apostrophesBeforeFormula(cell) > 0 ? cell.mid(1) : cell;
}

ListRecords guardedCells(ListRecords records)
{
    return eachField(std::move(records), guardedCell);
}

ListRecords unguardedCells(ListRecords records)
{
    return eachField(std::move(records), unguardedCell);
}

} // namespace orv
