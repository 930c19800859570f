#pragma once

namespace orv::preview {

// A window's mouse pointer setting.
enum class PointerSetting { Default = 0, Hourglass = 11, Custom = 99 };

// Hover feedback: the pointer a hover sets, given the current setting and
// the one the hovered control asks for. The hourglass of a long operation is
// never overridden.
constexpr PointerSetting hoverPointer(PointerSetting current, PointerSetting wanted)
{
    return current == PointerSetting::Hourglass ? current : wanted;
}

} // namespace orv::preview
