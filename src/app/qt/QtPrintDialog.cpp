#include "app/qt/QtPrintDialog.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace orv {

bool QtPrintDialog::askPrinter(QPrinter &printer, int pageCount)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace orv
