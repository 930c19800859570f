#pragma once

#include <QString>

namespace orv::sheet::xls {

// Number formats every reader knows by index; others are stored in FORMAT
// records from index 164 on.
inline constexpr int kFirstCustomNumberFormat = 164;

// The built-in index of a format text, or -1.
int builtInNumberFormat(const QString &format);
// The text of a built-in index, or an empty string when unknown.
QString builtInNumberFormatText(int index);

} // namespace orv::sheet::xls
