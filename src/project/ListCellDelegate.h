#pragma once

#include <QColor>
#include <QList>
#include <QStyledItemDelegate>
#include <functional>

namespace orv {

class CategoryNames;

// The colour behind list cells and entry fields whose text will not make it
// into the chart as meant.
QColor warningColour();

// Gives an entry field the warning colour and `hint` as its tooltip, or takes
// both away when `hint` is empty.
void markField(QWidget &field, const QString &hint);

// Edits the cells of one list view in place and marks the cells the chart
// will not read as meant. An edited text is handed to `commit` rather than
// written, so that the caller decides what else changes with it. Positions
// and columns count from 1.
class ListCellDelegate : public QStyledItemDelegate {
public:
    using Commit = std::function<void(int position, int column, const QString &text)>;
    struct Columns {
        QList<int> dates;
        int category = 0; // offers the categories and checks the name
        int subTask = 0;  // toggles between empty and "V" instead of editing
    };

    ListCellDelegate(Columns columns, const CategoryNames &categories, Commit commit, QObject *parent);

    // Why the cell's text will not be read as meant; empty when it will.
    QString hint(const QModelIndex &index) const;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    Columns mColumns;
    const CategoryNames &mCategories;
    Commit mCommit;
};

} // namespace orv
