#include "preview/Form2.h"

#include "app/ReportingOperation.h"
#include "app/qt/HoverPointer.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QPushButton>

namespace orv::preview {

// "Fit" first in the room beside the zoom frame: one more zoom step, the
// one that shows the chart's whole width.
void Form2::createFitControl()
{
    auto *room = static_cast<QBoxLayout *>(ButtonRoom->layout());
    FitButton = new QPushButton(QStringLiteral("Fit"), ButtonRoom);
    FitButton->setObjectName(QStringLiteral("FitButton"));
    FitButton->setFont(Frame1->font());
    FitButton->setAttribute(Qt::WA_NoMousePropagation);
    // The room beside the zoom frame is narrow: "Fit" takes no more than its word needs.
    FitButton->setMaximumWidth(FitButton->fontMetrics().horizontalAdvance(FitButton->text()) + 20);
    room->insertWidget(0, FitButton);
    mHover->watchButton(*FitButton);
    connect(FitButton, &QPushButton::clicked, this, &Form2::FitButton_Click);
}

// The picture keeps its top-left corner in place and starts at its first
// column.
void Form2::FitButton_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.FitButton_Click "));
    op(100, [&] { zoomAround(mViewport.fitWidthZoom(), {0, 0}); });
    op(102, [&] { scrollToEnd(Axis::Horizontal, false); });
}

} // namespace orv::preview
