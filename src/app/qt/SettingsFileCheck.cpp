#include "app/qt/SettingsFileCheck.h"

#include "files/Failure.h"
#include "files/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include <optional>

namespace orv {

namespace {

// Far beyond the largest plan the lists hold; a bigger file is not a
// settings file this program wrote.
constexpr qint64 kMaxSettingsFileSize = 16 * 1024 * 1024;

struct RawEntry {
    QString section;
    QString key;
    QString value;
};

// The "key=value" lines of the file as they stand, or nothing when a line is
// none of: blank, a comment, a [group] heading, a key=value line.
std::optional<QList<RawEntry>> rawEntries(const QString &text)
{
    QList<RawEntry> entries;
    QString section = QStringLiteral("General");
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || line.left(equals).trimmed().isEmpty())
            return std::nullopt;
        entries << RawEntry{section, line.left(equals).trimmed(), line.mid(equals + 1)};
    }
    return entries;
}

// The file's text, or nothing when it is too big or not UTF-8.
std::optional<QString> settingsText(QFile &file)
{
    if (file.size() > kMaxSettingsFileSize)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
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
    const std::optional<QString> text = settingsText(file);
    const std::optional<QList<RawEntry>> entries = text ? rawEntries(*text) : std::nullopt;
    if (!entries)
        return SettingsFileState::Unreadable;

    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return SettingsFileState::Unreadable;
    for (auto entry = entries->begin(); entry != entries->end(); ++entry) {
        const auto isSame = [&](const RawEntry &other) {
            return other.section == entry->section && other.key == entry->key;
        };
        // A key twice over: the reader keeps only one of the two values.
        const bool again = std::find_if(std::next(entry), entries->end(), isSame) != entries->end();
        if (again || !valueStandsOnItsLine(entry->value))
            return SettingsFileState::Unreadable;
        if (entry->section == group && (!keys.contains(entry->key) || !settings.contains(group + u'/' + entry->key)))
            return SettingsFileState::Unreadable;
    }
    return SettingsFileState::Readable;
}

QString keepUnreadableCopy(const QString &path, const QDateTime &now)
{
    const QString base = path + QStringLiteral(".unreadable-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QByteArray bytes = sheet::readWholeFile(path, sheet::Links::Follow);
    QString copy = base;
    for (int number = 2; !sheet::createFile(bytes, copy); ++number)
        copy = base + QLatin1Char('-') + QString::number(number);
    return copy;
}

} // namespace orv
