#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace orv {

// One running window per settings file, so that no window drops what another
// saved. The first start listens on a local socket in the user's runtime
// folder, named after the settings file; a later start with the same file
// hands its command-line file (or nothing) to the first and ends. A lock
// beside the socket decides between two starts at the same moment and tells
// a socket left by a killed run from a live one.
class SingleInstance : public QObject {
public:
    explicit SingleInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when a running instance took `file` (empty: none) and this start
    // is to end; false when this start is the one instance.
    bool handOver(const QString &file);

    // Called in the one instance, on the window thread, for every later start
    // with the file it was given (empty: none).
    void onLaterStart(std::function<void(const QString &file)> react) { mReact = std::move(react); }

private:
    bool tryHandOver(const QString &file);
    void listen();
    void answer();

    QString mName;
    int mLock = -1;
    QLocalServer *mServer = nullptr;
    std::function<void(const QString &)> mReact;
};

} // namespace orv
