#include "preview/SystemBackColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace orv::preview {

namespace {

void paintButtonFace(QWidget &widget, const QColor &face)
{
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), face);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool takesButtonFace(const QWidget *widget)
{
    return qobject_cast<const QRadioButton *>(widget) || qobject_cast<const QCheckBox *>(widget)
           || qobject_cast<const QGroupBox *>(widget) || qobject_cast<const QLabel *>(widget);
}

} // namespace

void ApplySystemBackColor(QWidget &window)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    paintButtonFace(window, face);
    for (QWidget *child : window.findChildren<QWidget *>())
        if (takesButtonFace(child))
            paintButtonFace(*child, face);
}

} // namespace orv::preview
