#pragma once

#include "sheet/model/Workbook.h"

#include <QByteArray>

namespace orv::sheet::xls {

// What a file may make the reader hold. A workbook of more than 255 sheets,
// or whose sheets share their records, is refused whatever the limits.
struct XlsReadLimits {
    int columns = kMaxColumns;                        // cells right of these are skipped
    std::size_t cells = std::size_t(kMaxRows) * kMaxColumns; // kept, in all sheets together
};

// Reads a BIFF8 workbook stream. Records the engine does not model are
// skipped; a damaged stream, or one beyond the limits, throws a Failure
// saying what is wrong.
Workbook readWorkbookStream(const QByteArray &stream, const XlsReadLimits &limits = {});

// Reads a complete 97-2003 file (a compound file with a Workbook stream).
Workbook readXlsFile(const QByteArray &file, const XlsReadLimits &limits = {});

} // namespace orv::sheet::xls
