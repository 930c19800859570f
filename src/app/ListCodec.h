#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

// The stored text form of the project lists: records joined by "|", fields
// joined by "^", no quoting and no escaping. A record is the item text
// followed by the further columns.
inline constexpr QChar kRecordSeparator = u'|';
inline constexpr QChar kFieldSeparator = u'^';

using ListRecords = QList<QStringList>;

QString encodeList(const ListRecords &records);

// The records of a stored value; the empty text yields none. Empty records
// are kept here and yield no fields in splitFields.
QStringList splitRecords(const QString &value);
// The fields of one record; an empty record has none.
QStringList splitFields(const QString &record);

// Both splits together, dropping records that carry no fields.
ListRecords decodeList(const QString &value);

} // namespace orv
