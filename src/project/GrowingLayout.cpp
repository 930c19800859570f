#include "project/GrowingLayout.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>
#include <QWidget>
#include <cmath>
#include <numeric>

namespace orv {

namespace {

int shareOf(double share, int extra) { return static_cast<int>(std::floor(share * extra)); }

} // namespace

QRect grownPlace(const QRect &designed, GrowthShare share, QSize extra)
{
    const int dx = std::max(0, extra.width());
    const int dy = std::max(0, extra.height());
    return {designed.x() + shareOf(share.left, dx), designed.y() + shareOf(share.top, dy),
            designed.width() + shareOf(share.width, dx), designed.height() + shareOf(share.height, dy)};
}

// The last column takes what rounding leaves, so the columns fill the list
// to the pixel.
std::vector<int> spreadWidths(const std::vector<int> &designed, int available)
{
    const int total = std::accumulate(designed.begin(), designed.end(), 0);
    if (designed.empty() || total <= 0 || available <= total)
        return designed;
    std::vector<int> spread;
    int used = 0;
    for (std::size_t i = 0; i + 1 < designed.size(); ++i) {
        spread.push_back(static_cast<int>(static_cast<long long>(designed[i]) * available / total));
        used += spread.back();
    }
    spread.push_back(available - used);
    return spread;
}

int columnsRoom(int designedColumns, int designedList, int list, int viewport)
{
    if (designedColumns <= designedList)
        return designedColumns + std::max(0, list - designedList);
    return std::max(designedColumns, viewport);
}

GrowingLayout::GrowingLayout(QWidget &window, QSize designed) : QObject(&window), mWindow(window), mDesigned(designed)
{
    window.setMinimumSize(designed);
    window.installEventFilter(this);
}

void GrowingLayout::add(QWidget &control, GrowthShare share)
{
    mControls.push_back({&control, control.geometry(), share});
}

void GrowingLayout::addColumns(QTreeView &list)
{
    Columns columns{&list, {}, list.width()};
    for (int i = 0; i < list.header()->count(); ++i)
        columns.designed.push_back(list.columnWidth(i));
    mColumns.push_back(std::move(columns));
    // The viewport is what is left of the list beside its scroll bars.
    list.viewport()->installEventFilter(this);
}

bool GrowingLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Resize)
        return false;
    if (watched == &mWindow)
        placeControls();
    for (const Columns &columns : mColumns)
        if (watched == columns.list->viewport())
            spreadColumns(columns);
    return false;
}

void GrowingLayout::placeControls()
{
    const QSize extra = mWindow.size() - mDesigned;
    for (const Control &control : mControls)
        control.widget->setGeometry(grownPlace(control.designed, control.share, extra));
}

void GrowingLayout::spreadColumns(const Columns &columns)
{
    const int designed = std::accumulate(columns.designed.begin(), columns.designed.end(), 0);
    const int room =
        columnsRoom(designed, columns.designedList, columns.list->width(), columns.list->viewport()->width());
    const std::vector<int> widths = spreadWidths(columns.designed, room);
    for (std::size_t i = 0; i < widths.size(); ++i)
        columns.list->setColumnWidth(static_cast<int>(i), widths[i]);
}

} // namespace orv
