#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QTreeView;
class QWidget;

namespace orv {

// What part of the room a window has beyond its designed size a control
// takes: moved by `left` and `top`, grown by `width` and `height` (each a
// share from 0 to 1 of the extra width or height).
struct GrowthShare {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A control's place in a window `extra` larger than designed.
QRect grownPlace(const QRect &designed, GrowthShare share, QSize extra);

// Column widths that fill `available` pixels: the designed widths in
// proportion, or the designed widths themselves when they need that much.
std::vector<int> spreadWidths(const std::vector<int> &designed, int available);

// The room a list's columns take together. Columns narrower together than
// their list as designed grow with the list; wider ones keep their widths
// until the list's viewport is wider than they are, and then fill it, so
// that no column needs sideways scrolling.
int columnsRoom(int designedColumns, int designedList, int list, int viewport);

// Keeps a window's controls at their designed places at the designed size
// and lets them grow with the window beyond it; the columns of its lists
// spread over the room their lists have.
class GrowingLayout : public QObject {
public:
    // The controls' present places are their designed ones.
    GrowingLayout(QWidget &window, QSize designed);

    void add(QWidget &control, GrowthShare share);
    // A list whose present column widths are its designed ones.
    void addColumns(QTreeView &list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Control {
        QWidget *widget;
        QRect designed;
        GrowthShare share;
    };
    struct Columns {
        QTreeView *list;
        std::vector<int> designed;
        int designedList;
    };
    void placeControls();
    static void spreadColumns(const Columns &columns);

    QWidget &mWindow;
    QSize mDesigned;
    std::vector<Control> mControls;
    std::vector<Columns> mColumns;
};

} // namespace orv
