#pragma once

#include "project/ListSplice.h"

#include <QObject>
#include <QUndoStack>
#include <array>
#include <functional>

class QTreeWidget;

namespace orv {

// Every change to the main window's three lists as steps that can be
// undone and redone. A step is whatever the lists became between begin()
// and end(), kept as the smallest stretch of each list that changed.
// Changes made outside a step (loading the saved lists) are no step: the
// next step starts from the lists as they are then.
class ListHistory : public QObject {
public:
    // The categories, tasks and special events lists, in that order.
    ListHistory(std::array<QTreeWidget *, kListKinds> views, QObject *parent);

    // Runs `change` as one step named `what` ("3 tasks deleted").
    void record(const QString &what, const std::function<void()> &change);
    // Opens a step; a step opened while another is open joins that one.
    void begin(const QString &what);
    // Closes the step; when the lists changed, it goes onto the history.
    void end();

    // Take back or bring back the last step; return what the user is
    // told, such as "Undone: 3 tasks deleted".
    QString undo();
    QString redo();

    const QUndoStack &steps() const { return mSteps; }

private:
    class Step;

    void watch(ListKind list);
    void apply(const ListSplice &splice);
    void catchUp(ListKind list);
    QTreeWidget &view(ListKind list) const { return *mViews[std::size_t(list)]; }

    std::array<QTreeWidget *, kListKinds> mViews;
    // Each list as the history last knew it, and whether it has changed
    // since.
    std::array<ListRecords, kListKinds> mKnown;
    std::array<bool, kListKinds> mChanged{true, true, true};
    QUndoStack mSteps;
    QString mOpenStep;
    int mDepth = 0;
    bool mApplying = false;
};

} // namespace orv
