#include "project/ListNote.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <climits>

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

// The words of `text` that fit the label's room, ending in "…" when some
// are left out.
QString fittingText(const QLabel &label, const QString &text)
{
    const QFontMetrics metrics(label.font());
    const auto fits = [&](const QString &shown) {
        return metrics.boundingRect(QRect(0, 0, label.width(), INT_MAX), Qt::TextWordWrap, shown).height()
               <= label.height();
    };
    if (fits(text))
        return text;
    QString shown = text;
    while (!shown.isEmpty()) {
        shown.truncate(std::max<qsizetype>(shown.lastIndexOf(u' '), 0));
        if (fits(shown + QChar(0x2026)))
            return shown + QChar(0x2026);
    }
    return shown;
}

} // namespace

ListNote::ListNote(QWidget &categories, QWidget &tasks, QWidget &events, QObject *parent)
    : QObject(parent), mLabels{note(categories, "lblNote", {344, 44, 236, 38}), note(tasks, "lblTaskNote", {438, 110, 146, 40}),
              note(events, "lblEventNote", {344, 72, 236, 38})}
{
    for (QLabel *label : mLabels)
        label->installEventFilter(this);
}

// A note too long for its room shows what fits and is there in full as the
// tooltip; a room that grows shows more of it.
void ListNote::show(const QString &text)
{
    mText = text;
    for (QLabel *label : mLabels) {
        label->setText(fittingText(*label, text));
        label->setToolTip(text);
    }
}

bool ListNote::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        auto *label = static_cast<QLabel *>(watched);
        label->setText(fittingText(*label, mText));
    }
    return false;
}

} // namespace orv
