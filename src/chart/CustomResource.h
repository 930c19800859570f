#pragma once

#include <QByteArray>

namespace orv::chart {

// The bytes of the program's own resource of type "CUSTOM" with the given
// number; 101 is the chart template workbook. Throws a Failure when the
// program carries no such resource.
QByteArray loadCustomResource(int number);

} // namespace orv::chart
