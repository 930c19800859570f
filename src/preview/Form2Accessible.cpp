// What a screen reader announces for each of the preview's controls, and the
// order the focus moves in.
#include "chart/CellMeaning.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace orv::preview {

namespace {

void announce(QWidget &control, const QString &name, const QString &description)
{
    control.setAccessibleName(name);
    control.setAccessibleDescription(description);
}

} // namespace

void Form2::announceControls()
{
    announce(*Picture2, QStringLiteral("Gantt chart"),
             QStringLiteral("Point at a cell for what it shows; drag or use the arrow keys to move the chart"));
    announce(*HScroll1, QStringLiteral("Scroll across the chart"), QStringLiteral("Home and End go to its ends"));
    announce(*VScroll1, QStringLiteral("Scroll down the chart"),
             QStringLiteral("Page Up and Page Down move a page; Ctrl+Home and Ctrl+End go to its ends"));
    announce(*Frame1, Frame1->title(), QStringLiteral("Zoom the chart in and out"));
    for (QPushButton *button : {PushButton1, PushButton2, PushButton8, PushButton6, PrintButton, ExportPdfButton})
        announce(*button, button->text(), button->toolTip());
    announce(*FitButton, QStringLiteral("Fit"), QStringLiteral("Zooms so that the calendar's whole width fits the window"));
    announce(*ScaleCombo, QStringLiteral("Scale"),
             QStringLiteral("The time one column of the calendar stands for; a change builds the chart again"));
    // From the zoom to the chart's outputs and its scale, then back and save.
    const QList<QWidget *> order{PushButton1, PushButton2, FitButton,   PrintButton,
                                 ExportPdfButton, ScaleCombo, PushButton8, PushButton6};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void Form2::announceChart()
{
    const std::shared_ptr<PictureTiles> &tiles = Picture1->tiles();
    if (!tiles) {
        Picture2->setAccessibleName(QStringLiteral("Gantt chart"));
        return;
    }
    const int tasks = chart::chartedTaskCount(tiles->picture().sheet());
    Picture2->setAccessibleName(
        QStringLiteral("Gantt chart of %1 %2").arg(tasks).arg(tasks == 1 ? QStringLiteral("task") : QStringLiteral("tasks")));
}

void Form2::announceZoom()
{
    announce(*Label1, QStringLiteral("Zoom level %1").arg(Label1->text()),
             QStringLiteral("Ctrl++ zooms in, Ctrl+- out and Ctrl+0 back to 100 %"));
}

} // namespace orv::preview
