// What the chart answers when pointed at: the meaning of the cell under the
// pointer as a tooltip, and the legend of the chart's colours.
#include "chart/CellMeaning.h"
#include "preview/ColourLegend.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "preview/PictureTiles.h"
#include "preview/Twips.h"
#include "sheet/render/RangePicture.h"

#include <QHelpEvent>
#include <QToolTip>

namespace orv::preview {

// A point of the frame over a frozen pane shows the picture's own frozen
// part there; elsewhere the part the scrolled display box brings.
QString Form2::meaningAt(QPoint inFrame) const
{
    const std::shared_ptr<PictureTiles> &tiles = Picture1->tiles();
    if (!tiles)
        return {};
    const QPoint offset = Picture1->pos();
    const int paneWidth = offset.x() < 0 ? toPixels(mViewport.frozen().width) : 0;
    const int paneHeight = offset.y() < 0 ? toPixels(mViewport.frozen().height) : 0;
    const double x = inFrame.x() < paneWidth ? inFrame.x() : inFrame.x() - offset.x();
    const double y = inFrame.y() < paneHeight ? inFrame.y() : inFrame.y() - offset.y();
    const double zoom = mViewport.zoomFactor();
    const std::optional<sheet::CellAddress> cell = tiles->picture().cellAt(QPoint(int(x / zoom), int(y / zoom)));
    if (!cell)
        return {};
    return chart::cellMeaning(tiles->picture().sheet(), *cell, tiles->picture().today());
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
