#include "project/ListHistory.h"

#include "project/ListViewItems.h"

#include <QTreeWidget>
#include <algorithm>

namespace orv {

namespace {

// Enough steps for any slip to be taken back, without keeping every
// version of a long list for ever.
constexpr int kStepLimit = 200;

} // namespace

// The splices of one step, already applied when the step is pushed.
class ListHistory::Step : public QUndoCommand {
public:
    Step(ListHistory &history, const QString &what, QList<ListSplice> splices)
        : QUndoCommand(what), mHistory(history), mSplices(std::move(splices))
    {
    }

    void undo() override
    {
        for (auto splice = mSplices.crbegin(); splice != mSplices.crend(); ++splice)
            mHistory.apply(reversed(*splice));
    }
    void redo() override
    {
        if (mPushed) {
            for (const ListSplice &splice : mSplices)
                mHistory.apply(splice);
        }
        mPushed = true;
    }

private:
    ListHistory &mHistory;
    QList<ListSplice> mSplices;
    bool mPushed = false;
};

ListHistory::ListHistory(std::array<QTreeWidget *, kListKinds> views, QObject *parent)
    : QObject(parent), mViews(views)
{
    mSteps.setUndoLimit(kStepLimit);
    for (ListKind list : {ListKind::Categories, ListKind::Tasks, ListKind::Events})
        watch(list);
}

void ListHistory::watch(ListKind list)
{
    QAbstractItemModel *model = view(list).model();
    const auto changed = [this, list] {
        if (!mApplying)
            mChanged[std::size_t(list)] = true;
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(model, &QAbstractItemModel::dataChanged, this, changed);
    connect(model, &QAbstractItemModel::layoutChanged, this, changed);
    connect(model, &QAbstractItemModel::modelReset, this, changed);
}

// Takes the list as it is now for what the history knows.
void ListHistory::catchUp(ListKind list)
{
    auto index = std::size_t(list);
    if (mChanged[index]) {
        mKnown[index] = listRecords(view(list));
        mChanged[index] = false;
    }
}

void ListHistory::record(const QString &what, const std::function<void()> &change)
{
    begin(what);
    try {
        change();
    } catch (...) {
        end();
        throw;
    }
    end();
}

void ListHistory::begin(const QString &what)
{
    if (mDepth++ > 0)
        return;
    mOpenStep = what;
    for (ListKind list : {ListKind::Categories, ListKind::Tasks, ListKind::Events})
        catchUp(list);
}

void ListHistory::end()
{
    if (mDepth == 0 || --mDepth > 0)
        return;
    QList<ListSplice> splices;
    for (ListKind list : {ListKind::Categories, ListKind::Tasks, ListKind::Events}) {
        const ListRecords before = mKnown[std::size_t(list)];
        catchUp(list);
        if (auto splice = spliceBetween(list, before, mKnown[std::size_t(list)]))
            splices << std::move(*splice);
    }
    if (!splices.isEmpty())
        mSteps.push(new Step(*this, mOpenStep, std::move(splices)));
}

QString ListHistory::undo()
{
    if (mDepth > 0)
        return {};
    if (!mSteps.canUndo())
        return QStringLiteral("Nothing to undo");
    const QString what = mSteps.undoText();
    mSteps.undo();
    return QStringLiteral("Undone: %1").arg(what);
}

QString ListHistory::redo()
{
    if (mDepth > 0)
        return {};
    if (!mSteps.canRedo())
        return QStringLiteral("Nothing to redo");
    const QString what = mSteps.redoText();
    mSteps.redo();
    return QStringLiteral("Redone: %1").arg(what);
}

// Writes the splice into its list, overwriting the items it replaces where
// it can, and selects what it brought in.
void ListHistory::apply(const ListSplice &splice)
{
    for (ListKind list : {ListKind::Categories, ListKind::Tasks, ListKind::Events})
        catchUp(list);
    QTreeWidget &list = view(splice.list);
    if (splice.position - 1 + splice.removed.size() > list.topLevelItemCount())
        return;
    mApplying = true;
    const int kept = int(std::min(splice.removed.size(), splice.inserted.size()));
    for (int i = 0; i < kept; ++i) {
        QTreeWidgetItem *item = list.topLevelItem(splice.position - 1 + i);
        const QStringList &fields = splice.inserted[i];
        for (int column = 0; column < list.columnCount(); ++column)
            if (item->text(column) != fields.value(column))
                item->setText(column, fields.value(column));
    }
    removeItems(list, splice.position + kept, int(splice.removed.size()) - kept);
    insertItems(list, splice.position + kept, splice.inserted.mid(kept));
    mApplying = false;
    applySplice(mKnown[std::size_t(splice.list)], splice);

    selectItems(list, splice.position, int(splice.inserted.size()));
}

} // namespace orv
