#include "app/qt/SettingsFileCheck.h"

#include "sheet/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace orv {

namespace {

struct RawEntry {
    QString key;
    QString value;
};

// The "key=value" lines of one group, as they stand in the file.
QList<RawEntry> rawEntries(const QByteArray &bytes, const QString &group)
{
    QList<RawEntry> entries;
    QString section = QStringLiteral("General");
    for (QString line : QString::fromUtf8(bytes).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (section != group || trimmed.startsWith(u';') || equals < 0)
            continue;
        entries << RawEntry{line.left(equals).trimmed(), line.mid(equals + 1)};
    }
    return entries;
}

// True when the reader takes the whole line as the value: quotes closed,
// no ";" outside quotes, no backslash joining the next line.
bool valueStandsOnItsLine(const QString &value)
{
    bool quoted = false;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const QChar character = value[at];
        if (character == u'\\') {
            if (at + 1 == value.size())
                return false;
            ++at;
        } else if (character == u'"') {
            quoted = !quoted;
        } else if (character == u';' && !quoted) {
            return false;
        }
    }
    return !quoted;
}

} // namespace

SettingsFileState inspectSettingsFile(const QString &path, const QString &group, const QStringList &keys)
{
    const QFileInfo info(path);
    if (!info.exists())
        return SettingsFileState::Missing;
    if (!info.isFile())
        return SettingsFileState::NotARegularFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SettingsFileState::Unreadable;
    const QList<RawEntry> entries = rawEntries(file.readAll(), group);

    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(group);
    for (const QString &key : keys) {
        const auto isKey = [&](const RawEntry &entry) { return entry.key == key; };
        const auto stored = std::find_if(entries.begin(), entries.end(), isKey);
        if (stored == entries.end())
            continue;
        // A key twice over: the reader keeps only one of the two values.
        const bool again = std::find_if(std::next(stored), entries.end(), isKey) != entries.end();
        if (again || !valueStandsOnItsLine(stored->value) || !settings.contains(key))
            return SettingsFileState::Unreadable;
    }
    return SettingsFileState::Readable;
}

QString keepUnreadableCopy(const QString &path, const QDateTime &now)
{
    const QString base = path + QStringLiteral(".unreadable-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString copy = base;
    for (int number = 2; QFileInfo::exists(copy) || QFileInfo(copy).isSymLink(); ++number)
        copy = base + QLatin1Char('-') + QString::number(number);
    if (!QFile::copy(path, copy))
        throw Failure(QStringLiteral("Cannot copy %1 to %2").arg(QDir::toNativeSeparators(path),
                                                                 QDir::toNativeSeparators(copy)));
    return copy;
}

} // namespace orv
