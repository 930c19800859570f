#pragma once

#include "sheet/model/Workbook.h"

#include <QByteArray>

namespace orv::sheet::xls {

enum class TemplateMark { Drop, Keep };

// The BIFF8 workbook stream of a workbook. With TemplateMark::Keep a
// template workbook is written as a template (.xlt).
QByteArray writeWorkbookStream(const Workbook &workbook, TemplateMark mark = TemplateMark::Keep);

// The complete 97-2003 file: a compound file holding the workbook stream
// and the summary-information streams. Throws a Failure when the workbook
// holds something the format cannot store.
QByteArray writeXlsFile(const Workbook &workbook, TemplateMark mark = TemplateMark::Keep);

} // namespace orv::sheet::xls
