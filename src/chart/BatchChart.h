#pragma once

#include "app/Services.h"
#include "chart/template/CalendarScale.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace orv::chart {

// `orvantis --build-chart OUT.xls [--picture OUT.png] [--pdf OUT.pdf]`: builds the chart of
// the saved project with the same steps as "Create Template!", without any
// window.
struct BatchOptions {
    bool help = false;    // --help: only the usage is wanted
    QString workbookPath;
    QString picturePath; // empty: no picture is wanted
    QString pdfPath;     // empty: no PDF is wanted
    QString planPath;    // --plan: a chart workbook or task list instead of the saved project
    // --scale: the calendar's scale; none: the plan chart's own, or the
    // saved project's as the settings keep it.
    std::optional<CalendarScale> scale;
};

// The options among the program's arguments (the program name first), or
// nothing when none of them is a batch option and the windows are to start
// (the windowing system's own options, such as -style, are left to it).
// Throws a Failure for an unknown, repeated or incomplete option beside a
// batch option, or options without --build-chart.
std::optional<BatchOptions> parseBatchOptions(const QStringList &arguments);

// How the options are used, as --help prints it.
QString batchUsage();

// Runs the builder on the plan file of --plan, or else on the lists stored in
// services.settings, which are never written. A plan that would chart no
// task (none names a listed category) is refused. Every error report is written
// to `errors` in the text the message box would show.
// All or nothing: only a run without any report replaces the workbook (and
// the picture and the PDF), each in one step once all are complete;
// otherwise all stay exactly as they were. Returns the exit code: 0, or 1 after a report.
int runBatchChart(const BatchOptions &options, Services services, QTextStream &errors);

} // namespace orv::chart
