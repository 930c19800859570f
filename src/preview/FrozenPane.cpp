#include "preview/FrozenPane.h"

#include "preview/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

namespace orv::preview {

FrozenPane::FrozenPane(QWidget *parent, const PictureBox &display, Qt::Edges edges)
    : QWidget(parent), mDisplay(display), mEdges(edges)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void FrozenPane::showPart(const QRect &place, QPoint from)
{
    if (place.isEmpty()) {
        hide();
        return;
    }
    if (geometry() != place)
        setGeometry(place);
    mFrom = from;
    show();
    raise();
    update();
}

void FrozenPane::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    mDisplay.paintShown(painter, event->rect(), mFrom + event->rect().topLeft());
    painter.setPen(palette().color(QPalette::Dark));
    if (mEdges.testFlag(Qt::RightEdge))
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (mEdges.testFlag(Qt::BottomEdge))
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}

} // namespace orv::preview
