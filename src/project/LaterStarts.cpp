#include "project/LaterStarts.h"

#include "app/qt/SingleInstance.h"
#include "project/Form1.h"

#include <QApplication>

namespace orv {

LaterStarts::LaterStarts(Form1 &form, SingleInstance &instance)
    : mQueue(
          [&form](const QString &file) {
              bringToFront(form);
              if (!file.isEmpty())
                  form.openPlanFile(file);
          },
          [&form] {
              return QApplication::activeModalWidget() == nullptr && QApplication::activePopupWidget() == nullptr &&
                     !form.isBuilding();
          })
{
    instance.onLaterStart([this](const QString &file) { return mQueue.add(file); });
}

void bringToFront(QWidget &mainWindow)
{
    QWidget *front = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window)
            front = window;
    if (front == nullptr)
        front = &mainWindow;
    front->showNormal();
    front->raise();
    front->activateWindow();
}

} // namespace orv
