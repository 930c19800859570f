#include "project/ListAutosave.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"
#include "files/Failure.h"

#include <QAbstractItemModel>
#include <QTimer>

namespace orv {

ListAutosave::ListAutosave(const QList<QAbstractItemModel *> &lists, std::function<void()> store,
                           MessageBoxes &messages, QObject *parent)
    : QObject(parent), mStore(std::move(store)), mMessages(messages), mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    mTimer->setInterval(kDelayMs);
    connect(mTimer, &QTimer::timeout, this, &ListAutosave::storeNow);
    // Started by the first change and not put off by later ones, so that
    // steady typing is stored all the same.
    const auto changed = [this] {
        if (!mTimer->isActive())
            mTimer->start();
    };
    for (QAbstractItemModel *list : lists) {
        connect(list, &QAbstractItemModel::rowsInserted, this, changed);
        connect(list, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(list, &QAbstractItemModel::rowsMoved, this, changed);
        connect(list, &QAbstractItemModel::dataChanged, this, changed);
        connect(list, &QAbstractItemModel::layoutChanged, this, changed);
        connect(list, &QAbstractItemModel::modelReset, this, changed);
    }
}

void ListAutosave::storeNow()
{
    try {
        mStore();
        mFailing = false;
    } catch (const Failure &failure) {
        if (mFailing)
            return;
        mFailing = true;
        mMessages.show(QStringLiteral("The lists could not be saved: %1\nThey are saved again at the next change "
                                      "and when the program ends.")
                           .arg(failure.description()),
                       appTitle(), MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

} // namespace orv
