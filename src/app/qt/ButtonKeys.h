#pragma once

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QWidget;

namespace orv {

// Keys that press `button` anywhere in its window, while it is enabled;
// its tooltip names them after `what`, e.g. "Create Template! (Ctrl+Return, F5)".
void pressOnKeys(QAbstractButton &button, const QString &what, const QList<QKeySequence> &keys);

// Return and Enter on a focused button or check box do what Space does: a
// window that is no dialog has no default button to take them otherwise.
void returnActsAsSpace(const QList<QAbstractButton *> &buttons);

// Ctrl+Q closes `window`, as its close button does.
void closeOnQuitKey(QWidget &window);

} // namespace orv
