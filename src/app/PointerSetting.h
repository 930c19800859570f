#pragma once

namespace orv {

// The pointer setting of a window: which mouse pointer shows over it.
enum class PointerSetting { Default = 0, Hourglass = 11, Custom = 99 };

// The hover rule: moving over a control asks for `wanted` (custom over push
// buttons, default over surfaces, frames and lists), but the hourglass of a
// long operation is never disturbed.
constexpr PointerSetting pointerAfterHover(PointerSetting current, PointerSetting wanted)
{
    return current == PointerSetting::Hourglass ? current : wanted;
}

} // namespace orv
