#include "app/qt/QtOpenFileDialog.h"

#include "app/qt/QtSaveFileDialog.h"

#include <QFileDialog>

namespace orv {

QString QtOpenFileDialog::askOpenPath(const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(nullptr, title, QString(), qtFileFilter(filter));
}

} // namespace orv
