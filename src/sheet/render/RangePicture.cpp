#include "sheet/render/RangePicture.h"

#include "sheet/formula/Evaluator.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/RangePainter.h"
#include "sheet/render/SheetPicture.h"

#include <QPainter>
#include <cmath>
#include <mutex>

namespace orv::sheet {

namespace {

constexpr int kDotsPerMeter = 3780; // 96 DPI: the fonts are sized for it

// The moment the picture stands for.
class MomentClock final : public Clock {
public:
    explicit MomentClock(QDateTime now) : mNow(std::move(now)) {}
    QDateTime now() const override { return mNow; }

private:
    QDateTime mNow;
};

} // namespace

struct RangePicture::Parts {
    Parts(std::shared_ptr<const Workbook> book, int index, CellRange cells, const Clock &clock)
        : workbook(std::move(book)), sheetIndex(index), range(cells), moment(clock.now()),
          evaluator(*workbook, moment), geometry(*workbook, workbook->sheet(index), cells),
          painter(*workbook, workbook->sheet(index), geometry, formulaRules(evaluator))
    {
    }

    std::shared_ptr<const Workbook> workbook;
    int sheetIndex;
    CellRange range;
    MomentClock moment;
    Evaluator evaluator;
    SheetGeometry geometry;
    RangePainter painter;
    // The PNG file's bytes, made by the first call of encoded().
    std::mutex encoding;
    QByteArray png;
};

RangePicture::RangePicture(std::shared_ptr<const Workbook> workbook, int sheetIndex, CellRange range,
                           const Clock &clock)
    : d(std::make_unique<Parts>(std::move(workbook), sheetIndex, range, clock))
{
}

RangePicture::~RangePicture() = default;

QSize RangePicture::size() const { return QSize(int(d->geometry.width()), int(d->geometry.height())); }

QSize RangePicture::frozenSize() const { return frozenPaneSize(*d->workbook, d->sheetIndex, d->range); }

const Sheet &RangePicture::sheet() const { return d->workbook->sheet(d->sheetIndex); }

int RangePicture::columnLeft(int column) const
{
    return d->range.firstColumn <= column && column <= d->range.lastColumn ? d->geometry.columnLeft(column) : 0;
}

QDate RangePicture::today() const { return d->moment.now().date(); }

std::optional<CellAddress> RangePicture::cellAt(QPoint pixel) const
{
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= d->geometry.width() || pixel.y() >= d->geometry.height())
        return std::nullopt;
    return CellAddress{d->geometry.rowAt(pixel.y()), d->geometry.columnAt(pixel.x())};
}

QImage RangePicture::render(const QRect &area, double scale)
{
    QImage image(area.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    const QSize whole = size();
    // The picture rows and columns the area shows, whole pixels around it.
    const qint64 top = std::max<qint64>(0, qint64(std::floor(area.top() / scale)));
    const qint64 bottom = std::min<qint64>(whole.height(), qint64(std::ceil((area.bottom() + 1) / scale)));
    const int left = std::max(0, int(std::floor(area.left() / scale)));
    const int right = std::min(whole.width(), int(std::ceil((area.right() + 1) / scale)));
    if (bottom <= top || right <= left)
        return image;
    QPainter painter(&image);
    painter.translate(-area.left(), top * scale - area.top());
    painter.scale(scale, scale);
    d->painter.paintBand(painter, top, int(bottom - top), left, right - left);
    return image;
}

QByteArray RangePicture::encoded() const
{
    // A call while another thread encodes waits for its bytes rather than
    // painting the whole picture a second time.
    const std::lock_guard lock(d->encoding);
    if (d->png.isEmpty()) {
        // An evaluator of its own: the shared one belongs to render()'s thread.
        const Evaluator evaluator(*d->workbook, d->moment);
        RenderOptions options;
        options.ruleHolds = formulaRules(evaluator);
        d->png = encodePicture(*d->workbook, d->sheetIndex, d->range, options);
    }
    return d->png;
}

} // namespace orv::sheet
