#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QTimer;

namespace orv {

// The files later starts handed over, taken one at a time from the main
// loop: never from inside the socket's own handler, and never while a
// question or a dialog is open or the window is busy, so that a hand-over
// shows at most one question and no socket is on the stack below it.
class HandOverQueue : public QObject {
public:
    // `take` handles one file (empty: only bring the window to the front);
    // `ready` tells whether the window can take one now.
    HandOverQueue(std::function<void(const QString &file)> take, std::function<bool()> ready,
                  QObject *parent = nullptr);

    // False when the queue is full; a file already waiting is not queued again.
    bool add(const QString &file);

    static constexpr int kMaxWaiting = 16;

private:
    void takeNext();

    std::function<void(const QString &)> mTake;
    std::function<bool()> mReady;
    QStringList mWaiting;
    bool mTaking = false;
    QTimer *mRetry;
};

} // namespace orv
