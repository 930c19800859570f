#include "app/ListCodec.h"

namespace orv {

QString encodeList(const ListRecords &records)
{
    QStringList joined;
    joined.reserve(records.size());
    for (const QStringList &fields : records)
        joined << fields.join(kFieldSeparator);
    return joined.join(kRecordSeparator);
}

QStringList splitRecords(const QString &value)
{
    if (value.isEmpty())
        return {};
    return value.split(kRecordSeparator);
}

QStringList splitFields(const QString &record)
{
    if (record.isEmpty())
        return {};
    return record.split(kFieldSeparator);
}

ListRecords decodeList(const QString &value)
{
    ListRecords records;
    for (const QString &record : splitRecords(value)) {
        QStringList fields = splitFields(record);
        if (!fields.isEmpty())
            records << fields;
    }
    return records;
}

} // namespace orv
