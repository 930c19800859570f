#pragma once

#include "app/Services.h"

namespace orv {

// A filter in the "description|pattern|description|pattern|" form as the
// program writes it, turned into Qt's "description (pattern)" lines.
QString qtFileFilter(const QString &filter);

// The platform's Save File dialog, without an overwrite question of its own
// (the caller asks) and without a default suffix.
class QtSaveFileDialog final : public SaveFileDialog {
public:
    QString askSavePath(const QString &title, const QString &filter, int *chosenFilter = nullptr) override;
};

} // namespace orv
