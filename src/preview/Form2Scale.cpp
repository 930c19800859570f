#include "preview/Form2.h"

#include "app/FileOperations.h"
#include "app/ReportingOperation.h"
#include "chart/template/CalendarScale.h"
#include "preview/MainWindowLink.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace orv::preview {

namespace {

// Keeps the line about what the calendar leaves out in the strip above the
// buttons beside the zoom frame, level with the frame's caption, whenever
// the window moves those buttons. A line longer than the strip ends in an
// ellipsis; its tooltip holds all of it.
class NoteAboveButtons : public QObject {
public:
    NoteAboveButtons(QWidget &zoomFrame, QWidget &buttons, QLabel &note)
        : QObject(&note), mFrame(zoomFrame), mButtons(buttons), mNote(note)
    {
        buttons.installEventFilter(this);
        note.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        const bool buttonsMoved = watched == &mButtons && (type == QEvent::Move || type == QEvent::Resize);
        if (buttonsMoved || (watched == &mNote && type == QEvent::ToolTipChange))
            place();
        return false;
    }

private:
    void place()
    {
        const int left = mButtons.x();
        const int width = std::max(0, mNote.parentWidget()->width() - 8 - left);
        mNote.setGeometry(left, mFrame.y(), width, std::max(0, mButtons.y() - mFrame.y()));
        mNote.setText(mNote.fontMetrics().elidedText(mNote.toolTip(), Qt::ElideRight, width));
    }

    QWidget &mFrame;
    QWidget &mButtons;
    QLabel &mNote;
};

} // namespace

// "Scale" after the print buttons in the room beside the zoom frame (its
// name in its tooltip, as the room is narrow); above them, the line about
// what the calendar leaves out.
void Form2::createScaleControls()
{
    auto *room = static_cast<QBoxLayout *>(ButtonRoom->layout());
    ScaleCombo = new QComboBox(ButtonRoom);
    ScaleCombo->setObjectName(QStringLiteral("ScaleCombo"));
    ScaleCombo->addItems({QStringLiteral("Days"), QStringLiteral("Weeks"), QStringLiteral("Months")});
    ScaleCombo->setFont(Frame1->font());
    ScaleCombo->setAttribute(Qt::WA_NoMousePropagation);
    ScaleCombo->setToolTip(QStringLiteral("Scale of the calendar"));
    ScaleCombo->setAccessibleName(QStringLiteral("Scale"));
    ScaleCombo->setMaximumWidth(ScaleCombo->fontMetrics().horizontalAdvance(QStringLiteral("Months")) + 26);
    room->insertWidget(room->count() - 1, ScaleCombo);
    CalendarNote = new QLabel(this);
    CalendarNote->setObjectName(QStringLiteral("CalendarNote"));
    CalendarNote->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CalendarNote->hide();
    new NoteAboveButtons(*Frame1, *ButtonRoom, *CalendarNote);
    connect(ScaleCombo, &QComboBox::currentIndexChanged, this, &Form2::ScaleCombo_Change);
}

void Form2::showCalendar(chart::CalendarScale scale, const QString &outside)
{
    const QSignalBlocker quiet(ScaleCombo);
    ScaleCombo->setCurrentIndex(static_cast<int>(scale));
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
