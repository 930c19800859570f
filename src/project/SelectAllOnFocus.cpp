#include "project/SelectAllOnFocus.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace orv {

void SelectAllOnFocus::watch(QLineEdit &edit)
{
    edit.installEventFilter(this);
}

bool SelectAllOnFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        auto *edit = static_cast<QLineEdit *>(watched);
        edit->selectAll();
        // A mouse click places the text cursor after the focus arrives;
        // selecting once more afterwards keeps the whole text selected.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return false;
}

} // namespace orv
