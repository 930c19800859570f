#include "app/qt/HoverPointer.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace orv {

namespace {

constexpr char kWantedProperty[] = "orvHoverPointer";

} // namespace

HoverPointer::HoverPointer(QWidget &window) : QObject(&window), mWindow(window) {}

void HoverPointer::setPointer(PointerSetting pointer)
{
    mPointer = pointer;
    mWindow.setCursor(cursorFor(pointer));
}

void HoverPointer::setCustomCursor(const QCursor &cursor)
{
    mCustom = cursor;
    if (mPointer == PointerSetting::Custom)
        setPointer(mPointer);
}

void HoverPointer::watchButton(QWidget &button)
{
    watch(button, PointerSetting::Custom);
}

void HoverPointer::watchSurface(QWidget &surface)
{
    watch(surface, PointerSetting::Default);
    // A list view receives the mouse in its viewport.
    if (auto *scrolling = qobject_cast<QAbstractScrollArea *>(&surface))
        watch(*scrolling->viewport(), PointerSetting::Default);
}

void HoverPointer::watch(QWidget &widget, PointerSetting wanted)
{
    widget.setProperty(kWantedProperty, static_cast<int>(wanted));
    widget.setMouseTracking(true);
    widget.installEventFilter(this);
}

bool HoverPointer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove)
        return false;
    // A move over a child that is not watched itself (a text box, a label)
    // reaches its parent too; only the control right under the mouse counts.
    auto *widget = static_cast<QWidget *>(watched);
    const auto *move = static_cast<QMouseEvent *>(event);
    if (widget->childAt(move->position().toPoint()) != nullptr)
        return false;
    auto wanted = static_cast<PointerSetting>(widget->property(kWantedProperty).toInt());
    // A disabled button cannot be clicked: no hand over it.
    if (!widget->isEnabled())
        wanted = PointerSetting::Default;
    setPointer(pointerAfterHover(mPointer, wanted));
    return false;
}

QCursor HoverPointer::cursorFor(PointerSetting pointer) const
{
    switch (pointer) {
    case PointerSetting::Hourglass:
        return Qt::WaitCursor;
    case PointerSetting::Custom:
        return mCustom.value_or(QCursor(Qt::ArrowCursor));
    case PointerSetting::Default:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace orv
