#pragma once

#include <QString>

namespace orv {

struct Services;

// The message shown when no spreadsheet instance can be created.
QString excelMissingMessage();

// Tries to create a spreadsheet instance and releases it at once. When that
// fails, shows excelMissingMessage (OK only, no icon, the application title
// as caption) and ends the program.
void CheckExcelInstalled(const Services &services);

} // namespace orv
