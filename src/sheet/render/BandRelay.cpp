#include "sheet/render/BandRelay.h"

#include <algorithm>

namespace orv::sheet {

BandRelay::BandRelay(std::vector<QImage> images, std::vector<Consumer> consumers)
    : mImages(std::move(images)), mConsumers(std::move(consumers)), mBands(mImages.size()),
      mDone(mConsumers.size(), 0)
{
    mThreads.reserve(mConsumers.size());
    for (std::size_t consumer = 0; consumer < mConsumers.size(); ++consumer)
        mThreads.emplace_back([this, consumer] { consume(consumer); });
}

BandRelay::~BandRelay()
{
    stop();
}

std::size_t BandRelay::slowestDone() const
{
    return mDone.empty() ? mHanded : *std::min_element(mDone.begin(), mDone.end());
}

QImage &BandRelay::nextImage()
{
    std::unique_lock lock(mMutex);
    // Band n goes into image n % size: free once band n - size is taken.
    mChanged.wait(lock, [&] { return mFailure || mHanded - slowestDone() < mImages.size(); });
    if (mFailure) {
        lock.unlock();
        rethrowFailure();
    }
    return mImages[mHanded % mImages.size()];
}

void BandRelay::hand(int top, int rows)
{
    {
        const std::lock_guard lock(mMutex);
        mBands[mHanded % mImages.size()] = {top, rows};
        ++mHanded;
    }
    mChanged.notify_all();
}

void BandRelay::finish()
{
    {
        std::unique_lock lock(mMutex);
        mChanged.wait(lock, [&] { return mFailure || slowestDone() == mHanded; });
    }
    rethrowFailure();
    stop();
}

void BandRelay::consume(std::size_t consumer)
{
    for (;;) {
        std::size_t next = 0;
        Band band;
        {
            std::unique_lock lock(mMutex);
            mChanged.wait(lock, [&] { return mStopping || mFailure || mDone[consumer] < mHanded; });
            if (mStopping || mFailure)
                return;
            next = mDone[consumer];
            band = mBands[next % mImages.size()];
        }
        try {
            mConsumers[consumer](mImages[next % mImages.size()], band.top, band.rows);
        } catch (...) {
            const std::lock_guard lock(mMutex);
            if (!mFailure)
                mFailure = std::current_exception();
        }
        {
            const std::lock_guard lock(mMutex);
            ++mDone[consumer];
        }
        mChanged.notify_all();
    }
}

// Joins the consumers after the relay is done or has failed; safe to repeat.
void BandRelay::stop()
{
    {
        const std::lock_guard lock(mMutex);
        mStopping = true;
    }
    mChanged.notify_all();
    for (std::thread &thread : mThreads)
        if (thread.joinable())
            thread.join();
}

void BandRelay::rethrowFailure()
{
    std::exception_ptr failure;
    {
        const std::lock_guard lock(mMutex);
        failure = mFailure;
    }
    if (failure) {
        stop();
        std::rethrow_exception(failure);
    }
}

} // namespace orv::sheet
