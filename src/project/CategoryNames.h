#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>
#include <optional>

class QTreeWidget;

namespace orv {

// The names in the categories list view, looked up often while the task
// list paints; the set is rebuilt after the list changed.
class CategoryNames : public QObject {
public:
    explicit CategoryNames(QTreeWidget &categories);

    QStringList inOrder() const;
    const QSet<QString> &all() const;

private:
    QTreeWidget &mView;
    mutable std::optional<QSet<QString>> mAll;
};

} // namespace orv
