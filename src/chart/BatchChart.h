#pragma once

#include "app/Services.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace orv::chart {

// `orvantis --build-chart OUT.xls [--picture OUT.png]`: builds the chart of
// the saved project with the same steps as "Create Template!", without any
// window.
struct BatchOptions {
    QString workbookPath;
    QString picturePath; // empty: no picture is kept
};

// The batch options among the program's arguments (the program name
// first), or nothing when the program is to start its windows. Throws a
// Failure for a --build-chart without its path or an unknown option.
std::optional<BatchOptions> parseBatchOptions(const QStringList &arguments);

// Runs the builder on the lists stored in services.settings and writes the
// chart workbook (and the picture) to the given paths. Every error report is
// written to `errors` in the text the message box would show. Returns the
// program's exit code: 0, or 1 when anything was reported.
int runBatchChart(const BatchOptions &options, Services services, QTextStream &errors);

} // namespace orv::chart
