#pragma once

#include "app/PointerSetting.h"

#include <QString>

namespace orv::chart {

// What the chart builder does to the window it runs in.
class BuilderWindow {
public:
    virtual ~BuilderWindow() = default;
    virtual void setPointer(PointerSetting pointer) = 0;
    virtual void hideMainWindow() = 0;
    // What of the plan the calendar leaves out, for the window's note;
    // empty when the calendar shows it all.
    virtual void noteOutsideCalendar(const QString & /*word*/) {}
};

} // namespace orv::chart
