#include "app/qt/IniSettingsStore.h"

#include "app/StoredList.h"
#include "app/qt/SettingsFileCheck.h"
#include "files/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orv {

namespace {

constexpr char kGroup[] = "Orvantis";

} // namespace

QString defaultSettingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Varnholt.ini"));
}

IniSettingsStore::IniSettingsStore(QString path) : mPath(std::move(path)) {}

// QSettings skips what it cannot parse and reads what it can; an unreadable
// file reads as empty. Either way a missing key falls back to its default.
std::optional<QString> IniSettingsStore::read(const QString &key) const
{
    if (!isRegularOrMissing())
        return std::nullopt;
    QSettings settings(mPath, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    // Only a hand-edited value can come back as a list (an unquoted comma).
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

QString IniSettingsStore::unreadableReason() const
{
    const QString path = QDir::toNativeSeparators(mPath);
    if (!isRegularOrMissing())
        return QStringLiteral("The settings file %1 is not a regular file").arg(path);
    if (!QFileInfo::exists(mPath))
        return {};
    QFile file(mPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read the settings file %1: %2").arg(path, file.errorString());
    const QStringList faults = settingsFileFaults(mPath, QLatin1String(kGroup), knownSettingsKeys());
    if (!faults.isEmpty())
        return QStringLiteral("The settings file %1 could not be read exactly as it stands (not read: %2). No chart "
                              "is built from a part of it.")
            .arg(path, faults.join(QStringLiteral("; ")));
    return {};
}

void IniSettingsStore::write(const QString &key, const QString &value)
{
    throwUnlessWritable();
    QSettings settings(mPath, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(key, value);
    settings.sync();
    // A format error left over from reading a malformed file does not stop
    // the writing; only a file that cannot be written does.
    if (settings.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("Cannot write the settings file %1").arg(QDir::toNativeSeparators(mPath)));
}

void IniSettingsStore::remove(const QString &key)
{
    throwUnlessWritable();
    QSettings settings(mPath, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    if (!settings.contains(key))
        return;
    settings.remove(key);
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("Cannot write the settings file %1").arg(QDir::toNativeSeparators(mPath)));
}

QString IniSettingsStore::checkAtStartUp(const QStringList &keys, const QDateTime &now)
{
    const QString shown = QDir::toNativeSeparators(mPath);
    switch (inspectSettingsFile(mPath, QLatin1String(kGroup), keys)) {
    case SettingsFileState::Missing:
    case SettingsFileState::Readable:
        return {};
    case SettingsFileState::NotARegularFile:
        return QStringLiteral("The settings file %1 is not a regular file. It was not read, and the lists "
                              "cannot be saved while it is in the way.")
            .arg(shown);
    case SettingsFileState::Unreadable:
        break;
    }
    const QString dropped = QStringLiteral("The settings file %1 could not be read exactly as it stands. Not read: "
                                           "%2.")
                                .arg(shown, settingsFileFaults(mPath, QLatin1String(kGroup), keys).join(QStringLiteral("; ")));
    QString copy;
    try {
        copy = QDir::toNativeSeparators(keepUnreadableCopy(mPath, now));
    } catch (const Failure &failure) {
        mKeptUnchanged = true;
        return dropped + QStringLiteral(" No copy of it could be kept (%1), so the file is left unchanged: nothing "
                                        "is saved while the program runs.")
                             .arg(failure.description());
    }
    // Written anew with what was read, so that the next start finds a clean
    // file and makes no further copy.
    try {
        writeCleanFile(keys);
    } catch (const Failure &failure) {
        return dropped + QStringLiteral(" A copy of the file as it was is kept in %1; the file itself could not be "
                                        "written anew (%2).")
                             .arg(copy, failure.description());
    }
    return dropped + QStringLiteral(" A copy of the file as it was is kept in %1, and the file now holds only what "
                                    "was read.")
                         .arg(copy);
}

void IniSettingsStore::writeCleanFile(const QStringList &keys)
{
    QList<std::pair<QString, QString>> kept;
    for (const QString &key : keys)
        if (const std::optional<QString> value = read(key))
            kept.append({key, *value});
    QSettings settings(mPath, QSettings::IniFormat);
    settings.clear();
    settings.beginGroup(QLatin1String(kGroup));
    for (const auto &[key, value] : kept)
        settings.setValue(key, value);
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("Cannot write the settings file %1").arg(QDir::toNativeSeparators(mPath)));
}

bool IniSettingsStore::isRegularOrMissing() const
{
    const QFileInfo info(mPath);
    return !info.exists() || info.isFile();
}

void IniSettingsStore::throwUnlessWritable() const
{
    if (!isRegularOrMissing())
        throw Failure(QStringLiteral("The settings file %1 is not a regular file")
                          .arg(QDir::toNativeSeparators(mPath)));
    if (mKeptUnchanged)
        throw Failure(QStringLiteral("The settings file %1 is kept unchanged, as it could not be read completely")
                          .arg(QDir::toNativeSeparators(mPath)));
}

} // namespace orv
