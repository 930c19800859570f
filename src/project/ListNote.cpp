#include "project/ListNote.h"

#include <QLabel>

namespace orv {

namespace {

// The room right of each tab's "Delete Selected", above its list.
QLabel *note(QWidget &frame, const char *name, QRect place)
{
    auto *label = new QLabel(&frame);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setWordWrap(true);
    return label;
}

} // namespace

ListNote::ListNote(QWidget &categories, QWidget &tasks, QWidget &events, QObject *parent)
    : QObject(parent), mLabels{note(categories, "lblNote", {344, 44, 236, 38}), note(tasks, "lblTaskNote", {438, 110, 146, 40}),
              note(events, "lblEventNote", {344, 72, 236, 38})}
{
}

// A note too long for its room is there in full as the tooltip.
void ListNote::show(const QString &text)
{
    for (QLabel *label : mLabels) {
        label->setText(text);
        label->setToolTip(text);
    }
}

QString ListNote::text() const
{
    return mLabels.first()->text();
}

} // namespace orv
