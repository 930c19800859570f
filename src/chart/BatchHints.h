#pragma once

#include "chart/ProjectLists.h"

#include <QLocale>
#include <QStringList>

namespace orv::chart {

// What the main window marks in the lists, as lines for a run without it:
// start and end texts that are not read as dates, tasks whose category is
// not listed, special events beyond the fifth. Empty fields get no hint, as
// in the window. The chart is built all the same.
QStringList batchHints(const ProjectLists &lists, const QLocale &locale = QLocale());

} // namespace orv::chart
