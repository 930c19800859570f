#pragma once

#include <QPoint>

namespace orv::preview {

// Turns the angles a mouse wheel or a touchpad reports (in eighths of a
// degree) into whole notches of 15 degrees, keeping the rest for the next
// report, so that fine-grained devices add up to the same steps as a wheel.
class WheelNotches {
public:
    static constexpr int kAnglePerNotch = 120;

    // The whole notches completed on each axis; positive values turn towards
    // the start of the picture (up, or left).
    QPoint add(QPoint angleDelta)
    {
        mRest += angleDelta;
        const QPoint notches(mRest.x() / kAnglePerNotch, mRest.y() / kAnglePerNotch);
        mRest -= notches * kAnglePerNotch;
        return notches;
    }

private:
    QPoint mRest;
};

} // namespace orv::preview
