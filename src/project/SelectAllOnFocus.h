#pragma once

#include <QObject>

class QLineEdit;

namespace orv {

// Selects the whole text of a text box whenever it receives the keyboard
// focus, so that typing replaces the old content.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    void watch(QLineEdit &edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace orv
