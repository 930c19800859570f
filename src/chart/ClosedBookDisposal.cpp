#include "chart/ClosedBookDisposal.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace orv::chart {

namespace {

class Disposal {
public:
    ~Disposal()
    {
        {
            const std::lock_guard lock(mMutex);
            mEnding = true;
        }
        mQueued.notify_one();
        if (mThread.joinable())
            mThread.join();
    }

    void take(std::shared_ptr<void> closed)
    {
        {
            const std::lock_guard lock(mMutex);
            mClosed.push_back(std::move(closed));
            if (!mThread.joinable())
                mThread = std::thread([this] { run(); });
        }
        mQueued.notify_one();
    }

private:
    void run()
    {
        std::unique_lock lock(mMutex);
        for (;;) {
            mQueued.wait(lock, [&] { return mEnding || !mClosed.empty(); });
            if (mClosed.empty())
                return;
            std::shared_ptr<void> closed = std::move(mClosed.front());
            mClosed.pop_front();
            lock.unlock();
            closed.reset();
            lock.lock();
        }
    }

    std::mutex mMutex;
    std::condition_variable mQueued;
    std::deque<std::shared_ptr<void>> mClosed;
    bool mEnding = false;
    std::thread mThread;
};

} // namespace

void disposeInBackground(std::shared_ptr<void> closed)
{
    static Disposal disposal;
    disposal.take(std::move(closed));
}

} // namespace orv::chart
