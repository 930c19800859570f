#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace orv {

// The short note beside "Delete Selected" on each of the three tabs: what a
// paste added, what was undone, which tasks a category change carried
// along. Every tab shows the same note, so that it is seen wherever the
// user is.
class ListNote : public QObject {
public:
    // The frames of the "Categories", "Tasks" and "Special Events" tabs.
    ListNote(QWidget &categories, QWidget &tasks, QWidget &events, QObject *parent);

    void show(const QString &text);
    void clear() { show(QString()); }
    QString text() const { return mText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLabel *> mLabels;
    QString mText;
};

} // namespace orv
