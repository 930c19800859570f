#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <array>
#include <functional>

class QKeyEvent;
class QMouseEvent;
class QTreeWidget;

namespace orv {

class CategoryNames;
class Form1;
class ListHistory;
class ListNote;

// In-place editing of the main window's three lists: cells edited by
// double-click or F2, items moved by dragging or Alt+Up/Alt+Down (Alt+Home
// and Alt+End to either end), Delete as the list's "Delete Selected", the
// note about tasks that a category rename carried along, and the
// warning shown while a date field holds a text that will not read as a
// date or the category box names no category.
class ListEditing : public QObject {
public:
    // `deleteSelected` holds the "Delete Selected" handlers of the
    // categories, tasks and special events lists. Every edit and move is a
    // step of `history`.
    ListEditing(Form1 &form, ListHistory &history, ListNote &note,
                std::array<std::function<void()>, 3> deleteSelected);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchList(QTreeWidget &view, std::function<void()> deleteSelected);
    void commit(QTreeWidget &view, int position, int column, const QString &text);
    void moveSelected(QTreeWidget &view, int to);
    void moveWithin(QTreeWidget &view, int from, int to);
    bool keyPressed(QTreeWidget &view, const QKeyEvent &key);
    bool mouseOnList(QTreeWidget &view, const QMouseEvent &mouse);
    int dropPosition(const QTreeWidget &view, QPoint at) const;
    void followCategories();

    Form1 &mForm;
    ListHistory &mHistory;
    ListNote &mNote;
    CategoryNames *mCategories;
    QList<std::pair<QTreeWidget *, std::function<void()>>> mLists;

    // The item being dragged, by position; 0 while none is.
    int mDragged = 0;
    bool mDragging = false;
    QPoint mPressedAt;
};

} // namespace orv
