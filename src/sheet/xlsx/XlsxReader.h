#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/model/Workbook.h"

#include <QByteArray>

namespace orv::sheet::xlsx {

// What a file may make the reader hold. Entry sizes are those the zip
// directory states; a part that inflates beyond its stated size is damaged.
struct XlsxReadLimits {
    int columns = kMaxColumns;                 // cells right of these are skipped
    qint64 partBytes = 64LL * 1024 * 1024;     // one part, inflated
    qint64 totalBytes = 256LL * 1024 * 1024;   // all parts read, inflated
    qint64 entries = 10000;                    // entries in the zip directory
};

// Reads the values of an .xlsx workbook: its sheets in order with their
// names and visibility, each cell's value or formula result, its formula
// where the engine can parse it, and its number format. Looks, sizes and
// everything else are left out. Throws a Failure saying what is wrong when
// the bytes are not a complete, readable workbook or exceed the limits.
Workbook readXlsxValues(const QByteArray &file, const XlsxReadLimits &limits = {});

} // namespace orv::sheet::xlsx
