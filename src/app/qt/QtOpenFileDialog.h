#pragma once

#include "app/Services.h"

namespace orv {

// The platform's Open File dialog, for one existing file.
class QtOpenFileDialog final : public OpenFileDialog {
public:
    QString askOpenPath(const QString &title, const QString &filter) override;
};

} // namespace orv
