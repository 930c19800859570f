#include "app/ListCodec.h"

namespace orv {

namespace {

constexpr QChar kEscape = u'%';

// The escapes of the exact form, each with the character it stands for.
constexpr struct {
    QChar character;
    QLatin1StringView escaped;
} kEscapes[] = {{kEscape, QLatin1StringView("%25")},
                {kRecordSeparator, QLatin1StringView("%7C")},
                {kFieldSeparator, QLatin1StringView("%5E")}};

QString escapeField(const QString &field)
{
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar character : field) {
        bool replaced = false;
        for (const auto &escape : kEscapes) {
            if (character == escape.character) {
                escaped += escape.escaped;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            escaped += character;
    }
    return escaped;
}

std::optional<QString> unescapeField(const QString &field)
{
    QString plain;
    plain.reserve(field.size());
    for (qsizetype at = 0; at < field.size(); ++at) {
        if (field[at] != kEscape) {
            plain += field[at];
            continue;
        }
        const QStringView sequence = QStringView(field).mid(at, 3);
        const auto *found = std::find_if(std::begin(kEscapes), std::end(kEscapes), [&](const auto &escape) {
            return sequence == escape.escaped;
        });
        if (found == std::end(kEscapes))
            return std::nullopt;
        plain += found->character;
        at += 2;
    }
    return plain;
}

} // namespace

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

QString encodeListExactly(const ListRecords &records)
{
    QStringList joined;
    joined.reserve(records.size());
    for (const QStringList &fields : records) {
        QStringList escaped;
        escaped.reserve(fields.size());
        for (const QString &field : fields)
            escaped << escapeField(field);
        joined << escaped.join(kFieldSeparator);
    }
    return joined.join(kRecordSeparator);
}

std::optional<ListRecords> decodeListExactly(const QString &value)
{
    ListRecords records;
    for (const QString &record : value.split(kRecordSeparator)) {
        QStringList fields;
        for (const QString &field : record.split(kFieldSeparator)) {
            const std::optional<QString> plain = unescapeField(field);
            if (!plain)
                return std::nullopt;
            fields << *plain;
        }
        records << fields;
    }
    return records;
}

} // namespace orv
