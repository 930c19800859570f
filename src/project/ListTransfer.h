#pragma once

#include <QObject>
#include <functional>

class QTreeWidget;

namespace orv {

class Form1;
class ListHistory;
class ListNote;

// The lists to and from the clipboard: Ctrl+C copies the selected items as
// tab-separated text, their column names first, so that they go into a
// spreadsheet as text and come back unchanged (see ClipboardCells.h); Ctrl+V and the lists' "Paste" add
// the clipboard's rows after the selected item or at the end. Each paste is
// one step of the lists' history, and the note says what it brought.
class ListTransfer : public QObject {
public:
    // `open` is the lists' "Open...".
    ListTransfer(Form1 &form, ListHistory &history, ListNote &note, std::function<void()> open);

    void copy(const QTreeWidget &view);
    void paste(QTreeWidget &view, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMenu(QTreeWidget &view, QPoint at);

    Form1 &mForm;
    ListHistory &mHistory;
    ListNote &mNote;
    std::function<void()> mOpen;
};

} // namespace orv
