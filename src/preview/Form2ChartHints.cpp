// What the chart answers when pointed at: the meaning of the cell under the
// pointer as a tooltip, and the legend of the chart's colours.
#include "chart/CellMeaning.h"
#include "preview/ColourLegend.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"

#include <QHelpEvent>
#include <QToolTip>

namespace orv::preview {

std::optional<sheet::CellAddress> Form2::cellShownAt(QPoint inFrame) const
{
    const std::shared_ptr<PictureTiles> &tiles = Picture1->tiles();
    if (!tiles)
        return std::nullopt;
    const QPoint zoomed = pictureShownAt(inFrame);
    const double zoom = mViewport.zoomFactor();
    return tiles->picture().cellAt(QPoint(int(zoomed.x() / zoom), int(zoomed.y() / zoom)));
}

QString Form2::meaningAt(QPoint inFrame) const
{
    const std::optional<sheet::CellAddress> cell = cellShownAt(inFrame);
    if (!cell)
        return {};
    return chart::cellMeaning(Picture1->tiles()->picture().sheet(), *cell, Picture1->tiles()->picture().today());
}

void Form2::showMeaning(const QHelpEvent &event)
{
    const QPoint inFrame = Picture2->client()->mapFromGlobal(event.globalPos());
    const QString meaning = Picture2->client()->rect().contains(inFrame) ? meaningAt(inFrame) : QString();
    if (meaning.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event.globalPos(), meaning, Picture2->client());
}

void Form2::showLegend(bool shown)
{
    if (mLegend == nullptr)
        mLegend = new ColourLegend(*Picture2->client());
    mLegend->setVisible(shown);
    mLegend->raise();
}

} // namespace orv::preview
