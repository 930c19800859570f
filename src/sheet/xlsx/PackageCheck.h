#pragma once

#include <QByteArray>

namespace orv::sheet::xlsx {

// Checks a written .xlsx package before it replaces anything: every part is
// present in full (its size and checksum as the zip directory states them)
// and every XML part is well-formed XML to its end.
// libxlsxwriter 1.1.4 puts each part together in a temporary file and does
// not notice when writing that file fails, as it does on a full disk: the
// part is then cut short and the library still reports success. Throws a
// Failure naming the first damaged part.
void checkPackage(const QByteArray &package);

} // namespace orv::sheet::xlsx
