#include "app/qt/HandOverQueue.h"

#include <QTimer>

namespace orv {

namespace {

// How soon a window that was not ready is asked again.
constexpr int kRetryMs = 200;

} // namespace

HandOverQueue::HandOverQueue(std::function<void(const QString &)> take, std::function<bool()> ready,
                             QObject *parent)
    : QObject(parent), mTake(std::move(take)), mReady(std::move(ready)), mRetry(new QTimer(this))
{
    mRetry->setSingleShot(true);
    mRetry->setInterval(kRetryMs);
    connect(mRetry, &QTimer::timeout, this, &HandOverQueue::takeNext);
}

bool HandOverQueue::add(const QString &file)
{
    if (mWaiting.contains(file))
        return true;
    if (mWaiting.size() >= kMaxWaiting)
        return false;
    mWaiting << file;
    QTimer::singleShot(0, this, &HandOverQueue::takeNext);
    return true;
}

// A question shown by `take` runs its own event loop, in which this is
// called again; it then waits, and the outer call goes on with the rest.
void HandOverQueue::takeNext()
{
    if (mTaking)
        return;
    mTaking = true;
    while (!mWaiting.isEmpty()) {
        if (!mReady()) {
            mRetry->start();
            break;
        }
        mTake(mWaiting.takeFirst());
    }
    mTaking = false;
}

} // namespace orv
