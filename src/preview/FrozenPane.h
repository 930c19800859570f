#pragma once

#include <QPoint>
#include <QWidget>

namespace orv::preview {

class PictureBox;

// One of the sheet's frozen panes over the display box: it shows a fixed
// part of what the box shows, so that the names and the calendar's header
// stay in view while the box is scrolled underneath. A thin line marks its
// edge towards the scrolled part, as spreadsheet applications draw it. The
// mouse passes through it to the box.
class FrozenPane : public QWidget {
    Q_OBJECT
public:
    // `edges`: Qt::RightEdge and/or Qt::BottomEdge, where the line goes.
    FrozenPane(QWidget *parent, const PictureBox &display, Qt::Edges edges);

    // Shows the pane at `place` in its parent with the part of the display
    // box from `from` (inside the box's border) on; an empty place hides it.
    void showPart(const QRect &place, QPoint from);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const PictureBox &mDisplay;
    Qt::Edges mEdges;
    QPoint mFrom;
};

} // namespace orv::preview
