#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QWidget;

namespace orv {

class Form1;
class ListHistory;
class ListNote;

// The main window's keyboard: Ctrl+Return and F5 create the chart, Ctrl+Q
// closes the window, Return on a button or the "Sub Task" box presses it as
// Space does, Ctrl+Z undoes the last change to the lists,
// Ctrl+Shift+Z and Ctrl+Y redo it (in an entry field only once the field
// has nothing of its own to undo), Ctrl+O opens a plan file, Return in an
// entry field adds the item as the tab's "Add" does and "Add" hands the
// focus back to the tab's first field, and Tab from the last button above
// the tabs comes back to the current tab's first field.
class WindowKeys : public QObject {
public:
    WindowKeys(Form1 &form, ListHistory &history, ListNote &note, std::function<void()> open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addOnReturn(const QList<QLineEdit *> &fields, QPushButton &add);
    QWidget *firstFieldOfCurrentTab() const;
    bool windowKey(const QKeyEvent &key);
    bool fieldKey(const QLineEdit &field, const QKeyEvent &key);

    Form1 &mForm;
    ListHistory &mHistory;
    ListNote &mNote;
    std::function<void()> mOpen;
};

} // namespace orv
