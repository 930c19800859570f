#pragma once

#include <QDateTime>

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

} // namespace orv
