#pragma once

#include <QString>

namespace orv::sheet::xlsx {

// What a libxlsxwriter error code (lxw_error) means, in the words of the
// program's failure reports. Every code has a text; a code this version of
// the library does not know is reported with its number.
QString xlsxErrorText(int code);

// Throws a Failure "<what>: <text of the code>" unless the code is
// LXW_NO_ERROR.
void checkXlsx(int code, const QString &what);

} // namespace orv::sheet::xlsx
