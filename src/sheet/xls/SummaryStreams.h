#pragma once

#include <QByteArray>

namespace orv::sheet::xls {

// Minimal property-set streams that spreadsheet applications expect next to
// a workbook: each holds one section with the code page property only, so
// that the same workbook always gives the same bytes.
QByteArray summaryInformationStream();
QByteArray documentSummaryInformationStream();

} // namespace orv::sheet::xls
