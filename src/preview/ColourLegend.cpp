#include "preview/ColourLegend.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace orv::preview {

namespace {

struct Entry {
    QColor colour;
    const char *meaning;
};

// The chart template's looks, in the 97-2003 palette the chart uses.
const Entry kEntries[] = {
    {QColor(0x33, 0xCC, 0xCC), "Task bar"},
    {QColor(0xFF, 0xFF, 0x99), "Part of a task done; in the dates and on deliverable rows: weekend"},
    {QColor(0x00, 0xFF, 0x00), "Part of a sub-task done; on deliverable rows: special event"},
    {QColor(0x33, 0x33, 0x99), "Deliverable"},
    {QColor(0xFF, 0x80, 0x80), "Today, in the dates"},
    {QColor(0x99, 0xCC, 0xFF), "Monday, in the dates"},
    {QColor(0xFF, 0xCC, 0x99), "Dates and % done as entered"},
    {QColor(0x99, 0x33, 0x00), "Task name in this colour: behind plan"},
};

QLabel *swatch(const QColor &colour, QWidget *parent)
{
    QPixmap filled(14, 14);
    filled.fill(colour);
    auto *label = new QLabel(parent);
    label->setPixmap(filled);
    return label;
}

} // namespace

ColourLegend::ColourLegend(QWidget &view) : QFrame(&view)
{
    setObjectName(QStringLiteral("ColourLegend"));
    setAccessibleName(QStringLiteral("Colour legend"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    int row = 0;
    for (const Entry &entry : kEntries) {
        grid->addWidget(swatch(entry.colour, this), row, 0);
        grid->addWidget(new QLabel(QLatin1String(entry.meaning), this), row++, 1);
    }
    QFont plain = font();
    plain.setBold(false);
    setFont(plain);
    adjustSize();
    hide();
    view.installEventFilter(this);
    placeInCorner();
}

bool ColourLegend::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        placeInCorner();
    return QFrame::eventFilter(watched, event);
}

void ColourLegend::placeInCorner()
{
    const QSize room = parentWidget()->size();
    move(std::max(0, room.width() - width() - 4), std::max(0, room.height() - height() - 4));
}

} // namespace orv::preview
