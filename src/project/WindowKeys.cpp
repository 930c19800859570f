#include "project/WindowKeys.h"

#include "app/qt/ButtonKeys.h"
#include "project/Form1.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace orv {

namespace {

bool isUndo(const QKeyEvent &key)
{
    return key.matches(QKeySequence::Undo) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
}

bool isRedo(const QKeyEvent &key)
{
    return key.keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) || key.matches(QKeySequence::Redo);
}

} // namespace

WindowKeys::WindowKeys(Form1 &form, ListHistory &history, ListNote &note, std::function<void()> open)
    : QObject(&form), mForm(form), mHistory(history), mNote(note), mOpen(std::move(open))
{
    // Keys no control takes travel up to the window.
    form.installEventFilter(this);
    const QList<QLineEdit *> categoryFields{form.txtCat};
    const QList<QLineEdit *> taskFields{form.txtTask, form.txtProc, form.txtStart, form.TxtEnd,
                                        form.Combo1->lineEdit()};
    const QList<QLineEdit *> eventFields{form.TxtEvent, form.txtEvStart, form.txtEvEnd};
    addOnReturn(categoryFields, *form.PushButton1);
    addOnReturn(taskFields, *form.PushButton3);
    addOnReturn(eventFields, *form.PushButton5);
    // The combo box hands its keys to its line edit directly, past any
    // filter there.
    form.Combo1->installEventFilter(this);
    form.PushButton9->installEventFilter(this);
    pressOnKeys(*form.PushButton6, QStringLiteral("Create Template!"),
                {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::Key_F5)});
    for (QPushButton *add : {form.PushButton1, form.PushButton3, form.PushButton5})
        add->setToolTip(QStringLiteral("Add (Return in a field)"));
    returnActsAsSpace({form.PushButton1, form.PushButton2, form.PushButton3, form.PushButton4, form.PushButton5,
                       form.PushButton6, form.PushButton7, form.PushButton8, form.PushButton9, form.Check1});
    closeOnQuitKey(form);
}

// Return in any of `fields` clicks `add`. After the click the fields start
// afresh: Ctrl+Z then takes back the item added, not the emptying of a
// field, and the focus is back in the first field.
void WindowKeys::addOnReturn(const QList<QLineEdit *> &fields, QPushButton &add)
{
    for (QLineEdit *field : fields) {
        connect(field, &QLineEdit::returnPressed, &add, [&add] {
            if (add.isEnabled())
                add.click();
        });
        field->installEventFilter(this);
    }
    connect(&add, &QPushButton::clicked, this, [fields] {
        for (QLineEdit *field : fields)
            field->setText(field->text());
        fields.first()->setFocus(Qt::OtherFocusReason);
    });
}

QWidget *WindowKeys::firstFieldOfCurrentTab() const
{
    switch (mForm.TabControl1->currentIndex()) {
    case 0:
        return mForm.txtCat;
    case 1:
        return mForm.txtTask;
    case 2:
        return mForm.TxtEvent;
    default:
        return nullptr;
    }
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (watched == &mForm)
        return windowKey(key);
    if (watched == mForm.PushButton9 && key.key() == Qt::Key_Tab && key.modifiers() == Qt::NoModifier) {
        if (QWidget *first = firstFieldOfCurrentTab()) {
            first->setFocus(Qt::TabFocusReason);
            return true;
        }
        return false;
    }
    if (watched == mForm.Combo1)
        return fieldKey(*mForm.Combo1->lineEdit(), key);
    if (auto *field = qobject_cast<QLineEdit *>(watched))
        return fieldKey(*field, key);
    return false;
}

bool WindowKeys::windowKey(const QKeyEvent &key)
{
    if (isRedo(key) || isUndo(key)) {
        mNote.show(isRedo(key) ? mHistory.redo() : mHistory.undo());
        mForm.UpdateEventAddButton();
        return true;
    }
    if (key.matches(QKeySequence::Open) || key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_O)) {
        mOpen();
        return true;
    }
    return false;
}

bool WindowKeys::fieldKey(const QLineEdit &field, const QKeyEvent &key)
{
    if (isRedo(key) && !field.isRedoAvailable())
        return windowKey(key);
    if (isUndo(key) && !isRedo(key) && !field.isUndoAvailable())
        return windowKey(key);
    return false;
}

} // namespace orv
