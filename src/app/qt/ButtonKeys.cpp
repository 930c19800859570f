#include "app/qt/ButtonKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QShortcut>
#include <QStringList>

namespace orv {

namespace {

class ReturnAsSpace : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) ||
            (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = static_cast<QAbstractButton *>(watched);
        if (button->isEnabled())
            button->click();
        return true;
    }
};

} // namespace

void pressOnKeys(QAbstractButton &button, const QString &what, const QList<QKeySequence> &keys)
{
    QStringList names;
    for (const QKeySequence &sequence : keys) {
        auto *shortcut = new QShortcut(sequence, button.window());
        QObject::connect(shortcut, &QShortcut::activated, &button, [&button] {
            if (button.isEnabled() && button.isVisible())
                button.click();
        });
        names << sequence.toString(QKeySequence::NativeText);
    }
    button.setToolTip(QStringLiteral("%1 (%2)").arg(what, names.join(QStringLiteral(", "))));
}

void returnActsAsSpace(const QList<QAbstractButton *> &buttons)
{
    if (buttons.isEmpty())
        return;
    auto *filter = new ReturnAsSpace(buttons.first()->window());
    for (QAbstractButton *button : buttons)
        button->installEventFilter(filter);
}

void closeOnQuitKey(QWidget &window)
{
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &window), &QShortcut::activated, &window,
                     [&window] { window.close(); });
}

} // namespace orv
