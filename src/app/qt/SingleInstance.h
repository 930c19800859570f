#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

namespace orv {

// One running window per settings file, so that no window drops what another
// saved. The first start listens on a local socket in a folder that only
// its user can reach (the runtime folder when it is so, else a folder of its
// own in the user's cache folder), named after the settings file, and both
// ends make sure the other runs as the same user; a later start with the same file
// hands its command-line file (or nothing) to the first and ends. A lock
// beside the socket decides between two starts at the same moment and tells
// a socket left by a killed run from a live one.
//
// A request is one line: the file's absolute path, resolved by the later
// start, or nothing. The one instance answers it at once and takes only the
// absolute path of an existing regular file; what it does with the file
// comes later, outside the socket's handler.
class SingleInstance : public QObject {
public:
    explicit SingleInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when a running instance took `file` (empty: none) and this start
    // is to end; false when this start is the one instance. Throws a Failure
    // when the running instance refuses the file or does not answer in time;
    // a request is sent once and never again.
    bool handOver(const QString &file);

    // Why this start runs without the channel, or an empty text when it has
    // one. Without it every start is the one instance.
    const QString &unavailable() const { return mUnavailable; }

    // Called in the one instance, on the window thread, for every later start
    // with the file it was given (empty: none); false when it cannot take
    // the file now. It must not open a question or a dialog itself.
    void onLaterStart(std::function<bool(const QString &file)> take) { mTake = std::move(take); }

    // The longest request taken, newline included: a path can be no longer.
    static constexpr int kMaxRequest = 4097;

private:
    enum class Reply { NotListening, Taken, Refused, Busy, Foreign, NoAnswer };
    Reply tryHandOver(const QByteArray &request, int waitMs);
    void listen();
    void answer();
    void readRequest(QLocalSocket &socket);

    QString mName;
    QString mUnavailable;
    uid_t mUser;
    int mLock = -1;
    QLocalServer *mServer = nullptr;
    std::function<bool(const QString &)> mTake;
};

} // namespace orv
