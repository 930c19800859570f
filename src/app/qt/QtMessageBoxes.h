#pragma once

#include "app/MessageBoxes.h"

namespace orv {

// Modal QMessageBox boxes. A box without a title of its own takes the
// application title.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const QString &text, const QString &title, MessageButtons buttons,
                       MessageIcon icon) override;
};

} // namespace orv
