#pragma once

#include "app/Services.h"

namespace orv {

// The settings file of the user: Varnholt.ini in $XDG_CONFIG_HOME, else in
// ~/.config.
QString defaultSettingsPath();

// The settings in an INI file, group "Orvantis". Values come back exactly
// as written. A file that cannot be read or is malformed gives no values,
// so that every reader takes its default. A path that names something else
// than a regular file (a folder, a FIFO) is never opened: it would block or
// fail, so it reads as empty and cannot be written.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString path = defaultSettingsPath());

    std::optional<QString> read(const QString &key) const override;
    // Throws a Failure when the file cannot be written.
    void write(const QString &key, const QString &value) override;
    void remove(const QString &key) override;
    // A file whose values under `keys` do not read back as stored is copied
    // aside first; when even the copy fails, the file is kept unchanged and
    // every write fails.
    QString checkAtStartUp(const QStringList &keys, const QDateTime &now) override;
    QString unreadableReason() const override;

private:
    bool isRegularOrMissing() const;
    void writeCleanFile(const QStringList &keys);
    void throwUnlessWritable() const;

    QString mPath;
    bool mKeptUnchanged = false;
};

} // namespace orv
