#pragma once

#include "app/PointerSetting.h"

namespace orv::chart {

// What the chart builder does to the window it runs in.
class BuilderWindow {
public:
    virtual ~BuilderWindow() = default;
    virtual void setPointer(PointerSetting pointer) = 0;
    virtual void hideMainWindow() = 0;
};

} // namespace orv::chart
