#pragma once

#include "sheet/Clock.h"
#include "sheet/model/CellAddress.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <memory>
#include <optional>

namespace orv::sheet {

class Sheet;
class Workbook;

// The picture of a cell range, painted from the sheet whenever a part of it
// is wanted, at any scale: text and lines are drawn at the scale they are
// shown at instead of being scaled as pixels, so they stay sharp however far
// the picture is zoomed, and no more of it is held than is asked for.
//
// It shares the workbook, which must not change while the picture lives,
// and shows the sheet as it was at one moment: TODAY() stands for the day
// the picture was made, however long it is shown. render() is for one
// thread; encoded() may run on another thread at the same time.
class RangePicture {
public:
    RangePicture(std::shared_ptr<const Workbook> workbook, int sheetIndex, CellRange range, const Clock &clock);
    ~RangePicture();
    RangePicture(const RangePicture &) = delete;
    RangePicture &operator=(const RangePicture &) = delete;

    // In pixels at scale 1, as renderRange makes the picture (96 DPI).
    QSize size() const;
    // The sheet's frozen panes in the picture (see frozenPaneSize).
    QSize frozenSize() const;
    // The sheet pictured, as the picture shows it.
    const Sheet &sheet() const;
    // The day the picture shows as today.
    QDate today() const;
    // Where a column of the range starts in the picture at scale 1.
    int columnLeft(int column) const;
    // The cell under `pixel` of the picture at scale 1; none beyond it.
    std::optional<CellAddress> cellAt(QPoint pixel) const;

    // The part `area` of the picture drawn at `scale`; `area` is in pixels of
    // the scaled picture. Parts beyond the picture are white.
    QImage render(const QRect &area, double scale);
    // The whole picture as the bytes of a PNG file, as encodePicture makes it:
    // painted and compressed once, then kept for every later call.
    QByteArray encoded() const;

private:
    struct Parts;
    std::unique_ptr<Parts> d;
};

} // namespace orv::sheet
