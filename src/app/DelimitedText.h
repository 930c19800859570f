#pragma once

#include "app/ListCodec.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace orv {

// Rows of fields as spreadsheets put them on the clipboard (tab-separated)
// and as CSV files hold them (comma- or semicolon-separated). Quoting as in
// RFC 4180: a field that starts with a double quote runs to the next lone
// double quote and may hold separators, line breaks and doubled quotes ("")
// that stand for one quote. Lines end in CR LF, LF or CR. Lines that hold no
// character at all (blank lines, a trailing line break) give no row; a line
// holding "" gives one row with one empty field.
ListRecords parseDelimitedText(QStringView text, QChar separator);

// How far a reading goes: a text beyond it holds no plan worth reading on.
struct ReadingLimits {
    qsizetype rows;        // rows read at most
    qsizetype fieldLength; // characters a field holds at most
};

// The rows read under limits: the reading ends before the first row with a
// longer field, or once `limits.rows` rows are read.
struct LimitedRows {
    ListRecords rows;
    bool longField = false; // the row after the last one read holds a longer field
};
LimitedRows parseDelimitedText(QStringView text, QChar separator, ReadingLimits limits);

// The separator of a text: a tab when a tab stands outside quotes on the
// first line that holds any separator, else whichever of semicolon and comma
// stands there more often (the comma on a tie); a tab when the text has no
// separator at all (each line is one field).
QChar detectSeparator(QStringView text);

// parseDelimitedText with the detected separator.
ListRecords parseDelimitedText(QStringView text);

// The rows as text that parseDelimitedText reads back unchanged: a field is
// quoted when it holds the separator, a quote or a line break, or when it is
// the only field of its row and empty. Lines end in
// CR LF when `crlf`, else LF; the last line ends in a line break too.
QString delimitedText(const ListRecords &rows, QChar separator, bool crlf = false);

// The three lists, for what names their columns.
enum class ListKind { Categories, Tasks, Events };

// The column headers of a list as the main window shows them: "Category";
// "Task", "% Compl.", "Start", "End", "Category", "Sub Task"; "Task",
// "Start", "End".
const QStringList &listCaptions(ListKind kind);

// True when the row's fields beyond `columns` are all empty, as spreadsheets
// write them after a row's last filled cell.
bool fitsColumns(const QStringList &row, int columns);

} // namespace orv
