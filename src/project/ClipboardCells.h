#pragma once

#include "app/ListCodec.h"

namespace orv {

// Cells copied to the clipboard stay text in a spreadsheet. A spreadsheet's
// text import evaluates a cell that begins with "=", "+", "-" or "@" (and
// may do so after a tab or a carriage return), so that a task named
// =HYPERLINK("http://x","y") would become a live link. Such a cell is
// copied with an apostrophe before it, the spreadsheets' own mark of a text
// cell; a cell that already begins with apostrophes before one of those
// characters gets one more, so that pasting takes exactly one away and every
// cell comes back as it was.
QString guardedCell(const QString &cell);
QString unguardedCell(const QString &cell);

// Each field of each record, guarded or unguarded.
ListRecords guardedCells(ListRecords records);
ListRecords unguardedCells(ListRecords records);

} // namespace orv
