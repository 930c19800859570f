#pragma once

#include "app/Services.h"

class QWidget;

namespace orv {

// The platform's print dialog over the window that asks.
class QtPrintDialog final : public PrintDialog {
public:
    bool askPrinter(QPrinter &printer, int pageCount) override;
};

} // namespace orv
