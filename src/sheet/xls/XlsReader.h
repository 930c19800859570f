#pragma once

#include "sheet/model/Workbook.h"

#include <QByteArray>

namespace orv::sheet::xls {

// Reads a BIFF8 workbook stream. Records the engine does not model are
// skipped; a damaged stream throws a Failure saying what is wrong.
Workbook readWorkbookStream(const QByteArray &stream);

// Reads a complete 97-2003 file (a compound file with a Workbook stream).
Workbook readXlsFile(const QByteArray &file);

} // namespace orv::sheet::xls
