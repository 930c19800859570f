#pragma once

#include <QDateTime>
#include <optional>

namespace orv {

// The current local date and time, injectable so that TODAY(), NOW() and
// anything else that depends on the day can be tested.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Another clock's first reading, given back from then on: everything worked
// out together (one recalculation, one picture) sees the same moment, as in a
// spreadsheet application, and the system clock is read once rather than for
// every TODAY() of every cell.
class HeldClock final : public Clock {
public:
    explicit HeldClock(const Clock &clock) : mClock(clock) {}
    QDateTime now() const override
    {
        if (!mNow)
            mNow = mClock.now();
        return *mNow;
    }

private:
    const Clock &mClock;
    mutable std::optional<QDateTime> mNow;
};

} // namespace orv
