#pragma once

#include "sheet/Clock.h"
#include "files/FileAccess.h"

#include <QByteArray>

namespace orv::sheet {
class Workbook;
}
#include <QString>

namespace orv::chart {

// Where the batch mode's outputs go, checked before anything is built: a
// link is followed to the file it names only when both are the user's own
// and that file exists (else the output is refused), an existing output
// must be a regular file, and no output may name one of
// the build's own files in the temporary folder or the other output.
struct BatchOutputs {
    QString workbook;
    QString picture; // empty: no picture is wanted
    QString pdf;     // empty: no PDF is wanted
};
BatchOutputs checkedOutputs(const QString &workbook, const QString &picture, const QString &tempFolder,
                            const QString &pdf = {});

// The finished chart workbook at `chartWorkbook` (in the temporary folder),
// written completely beside `out` and not yet in its place. A missing, empty
// or incomplete chart workbook is refused: nothing is staged from it. An
// `out` ending in .xlsx receives `chart`, the workbook the file holds, in
// that format, put together in the chart workbook's folder.
files::StagedFile stageWorkbook(const QString &chartWorkbook, const sheet::Workbook &chart, const QString &out);

// The chart picture, written completely beside `out`; an empty picture or
// one that is not a picture is refused.
files::StagedFile stagePicture(const QByteArray &picture, const QString &out);

// The chart workbook's pages as a PDF file, as its page setup prints them,
// written completely beside `out`.
files::StagedFile stagePdf(std::shared_ptr<const sheet::Workbook> chart, const QString &out, const Clock &clock);

} // namespace orv::chart
