#include "project/ListCellDelegate.h"

#include "project/CategoryNames.h"
#include "app/EntryHints.h"
#include "project/ListEdits.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>

namespace orv {

namespace {

int columnOf(const QModelIndex &index)
{
    return index.column() + 1;
}

// A double-click or F2: the two ways to start editing a cell.
bool asksToEdit(const QEvent &event)
{
    if (event.type() == QEvent::MouseButtonDblClick)
        return static_cast<const QMouseEvent &>(event).button() == Qt::LeftButton;
    return event.type() == QEvent::KeyPress && static_cast<const QKeyEvent &>(event).key() == Qt::Key_F2;
}

} // namespace

QColor warningColour()
{
    return QColor(255, 205, 150);
}

void markField(QWidget &field, const QString &hint)
{
    field.setToolTip(hint);
    if (hint.isEmpty()) {
        field.setPalette(QPalette());
        return;
    }
    QPalette marked = field.palette();
    marked.setColor(QPalette::Base, warningColour());
    field.setPalette(marked);
}

ListCellDelegate::ListCellDelegate(Columns columns, const CategoryNames &categories, Commit commit,
                                   QObject *parent)
    : QStyledItemDelegate(parent), mColumns(std::move(columns)), mCategories(categories), mCommit(std::move(commit))
{
}

QString ListCellDelegate::hint(const QModelIndex &index) const
{
    const QString text = index.data().toString();
    if (mColumns.dates.contains(columnOf(index)))
        return dateHint(text);
    if (columnOf(index) == mColumns.category)
        return categoryHint(text, mCategories.all());
    return {};
}

// The category cell offers the categories in list order and keeps whatever
// is typed, case and all: without a completer the box neither completes
// nor swaps the text for a choice that differs only in case.
QWidget *ListCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    if (columnOf(index) == mColumns.subTask)
        return nullptr;
    if (columnOf(index) != mColumns.category) {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (line && mColumns.dates.contains(columnOf(index)))
            connect(line, &QLineEdit::textChanged, line,
                    [line](const QString &text) { markField(*line, dateHint(text)); });
        return editor;
    }
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->addItems(mCategories.inOrder());
    connect(box, &QComboBox::editTextChanged, box,
            [box, this](const QString &text) { markField(*box, categoryHint(text, mCategories.all())); });
    return box;
}

void ListCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        box->setCurrentIndex(-1);
        box->setEditText(index.data().toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ListCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    QString text;
    if (auto *box = qobject_cast<QComboBox *>(editor))
        text = box->currentText();
    else if (auto *line = qobject_cast<QLineEdit *>(editor))
        text = line->text();
    else
        return;
    mCommit(index.row() + 1, columnOf(index), text);
}

bool ListCellDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (columnOf(index) == mColumns.subTask && event && asksToEdit(*event)) {
        mCommit(index.row() + 1, columnOf(index), toggledSubTask(index.data().toString()));
        return true;
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool ListCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    const QString why = event->type() == QEvent::ToolTip ? hint(index) : QString();
    if (why.isEmpty())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), why, view);
    return true;
}

void ListCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!hint(index).isEmpty())
        option->backgroundBrush = warningColour();
}

} // namespace orv
