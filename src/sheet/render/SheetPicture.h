#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/render/CellLooks.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace orv::sheet {

class Workbook;

// Drawing text needs the program's QGuiApplication (fonts come from it).

struct RenderOptions {
    // Decides the conditional formats; empty: conditional formats are not drawn.
    RuleTest ruleHolds;
    // The most picture rows painted at a time; very wide pictures use fewer.
    // Short bands let painting and compressing overlap even for a small
    // chart, and keep the band images' memory small.
    int bandHeight = 64;
};

// The largest picture made, in pixels: 1 GiB once decoded at 4 bytes a pixel.
// A 1,000-task chart is well below it; a sheet with tens of thousands of rows
// is refused with a Failure rather than exhausting memory.
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 28;

// The size in pixels of the picture of a range; throws a Failure when the
// picture would exceed kMaxPicturePixels or is empty.
QSize pictureSize(const Workbook &workbook, int sheetIndex, CellRange range);

// The part of the picture of a range that the sheet's frozen panes cover, in
// pixels: the width of the frozen columns and the height of the frozen rows
// that lie in the range (0 where nothing is frozen).
QSize frozenPaneSize(const Workbook &workbook, int sheetIndex, CellRange range);

// The range drawn as the screen shows it, at the sheet's column widths and row
// heights (96 DPI). Conditional formats come from options.ruleHolds, for
// instance formulaRules(evaluator). The whole picture is held in memory (4
// bytes a pixel, 330 MB for a 1,000-task chart): to keep or save a picture,
// use encodePicture or writePicture, which paint in bands.
QImage renderRange(const Workbook &workbook, int sheetIndex, CellRange range, const RenderOptions &options = {});

// The picture of the range as the bytes of a PNG file: a few megabytes even
// for a 1,000-task chart, where the decoded picture would take hundreds. This
// is the form in which a copied picture is best kept until it is saved.
QByteArray encodePicture(const Workbook &workbook, int sheetIndex, CellRange range,
                         const RenderOptions &options = {});

// Writes the picture of the range to `path` as a PNG file, replacing any file
// of that name, painting it in bands so that its memory stays bounded
// whatever the picture's height. On a failure no file is left at `path`.
void writePicture(const Workbook &workbook, int sheetIndex, CellRange range, const QString &path,
                  const RenderOptions &options = {});

// Reads a picture file by its content, allowing pictures up to
// kMaxPicturePixels; throws a Failure when it cannot be read.
QImage readPicture(const QString &path);

} // namespace orv::sheet
