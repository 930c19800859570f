#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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

// The exact form: the same separators, with "%", "|" and "^" inside a field
// written as "%25", "%7C" and "%5E". Every record is kept, also one whose
// only field is empty, so any list that has items comes back as it was (the
// empty text reads as one record with one empty field).
QString encodeListExactly(const ListRecords &records);
// Nothing when the text holds a "%" that starts none of the three escapes.
std::optional<ListRecords> decodeListExactly(const QString &value);

} // namespace orv
