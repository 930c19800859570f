#include "app/ListCodec.h"

#include <algorithm>

namespace orv {

namespace {

constexpr QChar kEscape = u'%';

// The escapes of the exact form, each with the character it stands for.
struct Escape {
    QChar character;
    QLatin1StringView escaped;
};
constexpr Escape kEscapes[] = {{kEscape, QLatin1StringView("%25")},
                               {kRecordSeparator, QLatin1StringView("%7C")},
                               {kFieldSeparator, QLatin1StringView("%5E")}};

template <typename Matches>
const Escape *findEscape(Matches matches)
{
    const auto *found = std::find_if(std::begin(kEscapes), std::end(kEscapes), matches);
    return found == std::end(kEscapes) ? nullptr : found;
}

QString escapeField(const QString &field)
{
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar character : field) {
        if (const Escape *escape = findEscape([&](const Escape &e) { return e.character == character; }))
            escaped += escape->escaped;
        else
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
        const Escape *escape = findEscape([&](const Escape &e) { return sequence == e.escaped; });
        if (!escape)
            return std::nullopt;
        plain += escape->character;
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
