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
    int line;
};

// The "key=value" lines of the file as they stand; a line that is none of
// blank, a comment, a [group] heading or a key=value line is a fault.
QList<RawEntry> rawEntries(const QString &text, QStringList &faults)
{
    QList<RawEntry> entries;
    QString section = QStringLiteral("General");
    int number = 0;
    for (QString line : text.split(u'\n')) {
        ++number;
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
        if (equals <= 0 || line.left(equals).trimmed().isEmpty()) {
            faults << QStringLiteral("line %1, which is not a setting").arg(number);
            continue;
        }
        entries << RawEntry{section, line.left(equals).trimmed(), line.mid(equals + 1), number};
    }
    return entries;
}

// The file's text, or nothing (and why) when it is too big, holds a NUL or
// is not UTF-8.
std::optional<QString> settingsText(QFile &file, QStringList &faults)
{
    if (file.size() > kMaxSettingsFileSize) {
        faults << QStringLiteral("its size, far beyond that of a settings file");
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // The reader ends a value at a NUL without a word.
    if (bytes.contains('\0')) {
        faults << QStringLiteral("a NUL byte, which cuts off the value it stands in");
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        faults << QStringLiteral("bytes that are not UTF-8 text");
        return std::nullopt;
    }
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

QStringList settingsFileFaults(const QString &path, const QString &group, const QStringList &keys)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("the whole file, which cannot be opened: %1").arg(file.errorString())};
    QStringList faults;
    const std::optional<QString> text = settingsText(file, faults);
    if (!text)
        return faults;
    const QList<RawEntry> entries = rawEntries(*text, faults);
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError && faults.isEmpty())
        faults << QStringLiteral("the file's form, which the reader does not take");
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        const auto isSame = [&](const RawEntry &other) {
            return other.section == entry->section && other.key == entry->key;
        };
        // A key twice over: the reader keeps only one of the two values.
        if (std::find_if(std::next(entry), entries.end(), isSame) != entries.end())
            faults << QStringLiteral("a second value for %1 (line %2)").arg(entry->key).arg(entry->line);
        else if (!valueStandsOnItsLine(entry->value))
            faults << QStringLiteral("the value of %1 (line %2), which has an open quote, a \";\" or a final "
                                     "\"\\\"")
                          .arg(entry->key)
                          .arg(entry->line);
        else if (entry->section == group && !keys.contains(entry->key))
            faults << QStringLiteral("the unknown key %1 (line %2)").arg(entry->key).arg(entry->line);
        else if (entry->section == group && !settings.contains(group + u'/' + entry->key))
            faults << QStringLiteral("the value of %1 (line %2), which the reader loses").arg(entry->key).arg(entry->line);
    }
    return faults;
}

SettingsFileState inspectSettingsFile(const QString &path, const QString &group, const QStringList &keys)
{
    const QFileInfo info(path);
    if (!info.exists())
        return SettingsFileState::Missing;
    if (!info.isFile())
        return SettingsFileState::NotARegularFile;
    return settingsFileFaults(path, group, keys).isEmpty() ? SettingsFileState::Readable
                                                           : SettingsFileState::Unreadable;
}

QString keepUnreadableCopy(const QString &path, const QDateTime &now)
{
    const QString base = path + QStringLiteral(".unreadable-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QByteArray bytes = files::readWholeFile(path, files::Links::Follow);
    QString copy = base;
    for (int number = 2; !files::createFile(bytes, copy); ++number)
        copy = base + QLatin1Char('-') + QString::number(number);
    return copy;
}

} // namespace orv
