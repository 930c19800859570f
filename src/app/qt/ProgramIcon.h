#pragma once

#include <QIcon>

namespace orv {

// The icon the program carries for its windows.
QIcon programIcon();

} // namespace orv
