#pragma once

#include <QFrame>

namespace orv::preview {

// A small panel that names the chart's colours, floating in the bottom right
// corner of the view it is put over; hidden until the user shows it.
class ColourLegend : public QFrame {
public:
    explicit ColourLegend(QWidget &view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeInCorner();
};

} // namespace orv::preview
