#include "app/StoredList.h"

#include "app/Services.h"
#include "app/WindowPlace.h"

namespace orv {

QString exactListKey(const QString &key)
{
    return key + QStringLiteral("Exact");
}

QStringList knownSettingsKeys()
{
    QStringList keys;
    for (const QString &key : {QStringLiteral("Categories"), QStringLiteral("Tasks"), QStringLiteral("Events")})
        keys << key << exactListKey(key);
    return keys << QStringLiteral("TabSel") << calendarScaleKey() << QLatin1String(kMainWindowPlaceKey)
                << QLatin1String(kPreviewWindowPlaceKey);
}

QString calendarScaleKey() { return QStringLiteral("CalendarScale"); }

void writeStoredList(SettingsStore &settings, const QString &key, const ListRecords &records)
{
    const QString plain = encodeList(records);
    settings.write(key, plain);
    if (decodeList(plain) == records)
        settings.remove(exactListKey(key));
    else
        settings.write(exactListKey(key), encodeListExactly(records));
}

ListRecords readStoredList(const SettingsStore &settings, const QString &key)
{
    const QString plain = settings.read(key).value_or(QString());
    if (const std::optional<QString> exact = settings.read(exactListKey(key))) {
        const std::optional<ListRecords> records = decodeListExactly(*exact);
        if (records && encodeList(*records) == plain)
            return *records;
    }
    return decodeList(plain);
}

} // namespace orv
