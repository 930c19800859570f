#pragma once

// How test failures show Qt strings and cell values.

#include "sheet/formula/ValueText.h"

#include <QString>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace orv::sheet {
inline void PrintTo(ErrorCode error, std::ostream *os) { *os << valueText(error).toStdString(); }
} // namespace orv::sheet
