#include "app/qt/IniSettingsStore.h"

#include "sheet/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orv {

namespace {

constexpr char kGroup[] = "Orvantis";

bool isNotARegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

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
    if (isNotARegularFile(mPath))
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
    if (isNotARegularFile(mPath))
        return QStringLiteral("The settings file %1 is not a regular file").arg(path);
    if (!QFileInfo::exists(mPath))
        return {};
    QFile file(mPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read the settings file %1: %2").arg(path, file.errorString());
    QSettings settings(mPath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("The settings file %1 is damaged").arg(path);
    return {};
}

void IniSettingsStore::write(const QString &key, const QString &value)
{
    QSettings settings(mPath, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(key, value);
    settings.sync();
    // A format error left over from reading a malformed file does not stop
    // the writing; only a file that cannot be written does.
    if (settings.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("Cannot write the settings file %1").arg(QDir::toNativeSeparators(mPath)));
}

} // namespace orv
