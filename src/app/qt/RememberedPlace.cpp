#include "app/qt/RememberedPlace.h"

#include "app/Services.h"
#include "app/WindowPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace orv {

namespace {

QList<QRect> freeScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

RememberedPlace::RememberedPlace(QWidget &window, SettingsStore &settings, QString key, Keep keep)
    : QObject(&window), mWindow(window), mSettings(settings), mKey(std::move(key)), mKeep(keep)
{
    restore();
    window.installEventFilter(this);
}

// A place that cannot be read, or a store that cannot be read, leaves the
// window as it was designed.
void RememberedPlace::restore()
{
    std::optional<WindowPlace> place;
    try {
        if (const std::optional<QString> text = mSettings.read(mKey)) {
            mStored = *text;
            place = WindowPlace::decoded(*text);
        }
    } catch (const std::exception &) {
    }
    if (!place)
        return;
    const QRect fitted = placeOnScreens(place->normal, freeScreenAreas());
    if (mKeep == Keep::SizeAndPosition)
        mWindow.setGeometry(fitted);
    else
        mWindow.resize(fitted.size());
    if (place->maximized)
        mWindow.setWindowState(mWindow.windowState() | Qt::WindowMaximized);
}

// Losing the place is no reason to stop closing the window.
void RememberedPlace::store()
{
    const QRect normal = mWindow.isMaximized() ? mWindow.normalGeometry() : mWindow.geometry();
    const QString text = WindowPlace{normal, mWindow.isMaximized()}.encoded();
    if (text == mStored)
        return;
    try {
        mSettings.write(mKey, text);
        mStored = text;
    } catch (const std::exception &) {
    }
}

bool RememberedPlace::eventFilter(QObject *watched, QEvent *event)
{
    // A window closed without ever being shown has no place of its own.
    const bool leaving = (event->type() == QEvent::Close && mWindow.isVisible()) || event->type() == QEvent::Hide;
    if (watched == &mWindow && leaving)
        store();
    return false;
}

} // namespace orv
