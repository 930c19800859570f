#pragma once

#include "app/Services.h"

namespace orv {

// The settings file of the user: Varnholt.ini in $XDG_CONFIG_HOME, else in
// ~/.config.
QString defaultSettingsPath();

// The settings in an INI file, group "Orvantis". Values come back exactly
// as written. A file that cannot be read or is malformed gives no values,
// so that every reader takes its default; one that is not a regular file (a
// FIFO, a device) is not even opened.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString path = defaultSettingsPath());

    std::optional<QString> read(const QString &key) const override;
    // Throws a Failure when the file cannot be written.
    void write(const QString &key, const QString &value) override;
    QString unreadableReason() const override;

private:
    QString mPath;
};

} // namespace orv
