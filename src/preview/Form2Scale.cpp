#include "preview/Form2.h"

#include "app/FileOperations.h"
#include "app/ReportingOperation.h"
#include "chart/template/CalendarScale.h"
#include "preview/MainWindowLink.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace orv::preview {

// "Scale" and the line about what the calendar leaves out, after the print
// buttons in the room beside the zoom frame.
void Form2::createScaleControls()
{
    auto *room = static_cast<QBoxLayout *>(ButtonRoom->layout());
    auto *caption = new QLabel(QStringLiteral("Scale:"), ButtonRoom);
    ScaleCombo = new QComboBox(ButtonRoom);
    ScaleCombo->setObjectName(QStringLiteral("ScaleCombo"));
    ScaleCombo->addItems({QStringLiteral("Days"), QStringLiteral("Weeks"), QStringLiteral("Months")});
    ScaleCombo->setFont(PushButton6->font());
    ScaleCombo->setAttribute(Qt::WA_NoMousePropagation);
    caption->setBuddy(ScaleCombo);
    CalendarNote = new QLabel(ButtonRoom);
    CalendarNote->setObjectName(QStringLiteral("CalendarNote"));
    CalendarNote->setWordWrap(true);
    CalendarNote->hide();
    room->insertWidget(room->count() - 1, caption);
    room->insertWidget(room->count() - 1, ScaleCombo);
    room->insertWidget(room->count() - 1, CalendarNote, 1);
    connect(ScaleCombo, &QComboBox::currentIndexChanged, this, &Form2::ScaleCombo_Change);
}

void Form2::showCalendar(chart::CalendarScale scale, const QString &outside)
{
    const QSignalBlocker quiet(ScaleCombo);
    ScaleCombo->setCurrentIndex(static_cast<int>(scale));
    CalendarNote->setText(outside);
    CalendarNote->setToolTip(outside);
    CalendarNote->setVisible(!outside.isEmpty());
}

// The chart on show goes, as with "< Back", and its plan is charted anew at
// the chosen scale.
void Form2::ScaleCombo_Change(int index)
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.ScaleCombo_Change "));
    op(100, [&] { DeleteFileIfExists(mExcelFile); });
    op(102, [&] { mMainWindow.rebuildChart(static_cast<chart::CalendarScale>(index)); });
}

} // namespace orv::preview
