#include "project/CategoryNames.h"

#include <QTreeWidget>

namespace orv {

CategoryNames::CategoryNames(QTreeWidget &categories) : QObject(&categories), mView(categories)
{
    QAbstractItemModel *model = categories.model();
    const auto forget = [this] { mAll.reset(); };
    connect(model, &QAbstractItemModel::dataChanged, this, forget);
    connect(model, &QAbstractItemModel::rowsInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model, &QAbstractItemModel::rowsMoved, this, forget);
    connect(model, &QAbstractItemModel::modelReset, this, forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, forget);
}

QStringList CategoryNames::inOrder() const
{
    QStringList names;
    names.reserve(mView.topLevelItemCount());
    for (int i = 0; i < mView.topLevelItemCount(); ++i)
        names << mView.topLevelItem(i)->text(0);
    return names;
}

const QSet<QString> &CategoryNames::all() const
{
    if (!mAll) {
        const QStringList names = inOrder();
        mAll.emplace(names.begin(), names.end());
    }
    return *mAll;
}

} // namespace orv
