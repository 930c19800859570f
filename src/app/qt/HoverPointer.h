#pragma once

#include "app/PointerSetting.h"

#include <QCursor>
#include <QObject>
#include <optional>

class QWidget;

namespace orv {

// The pointer setting of one window and its hover feedback: moving over a
// watched button asks for the custom pointer, moving over a watched surface
// (the window, a frame, a list view) for the default one, and neither
// disturbs the hourglass (pointerAfterHover). Other controls leave the
// setting alone.
class HoverPointer : public QObject {
public:
    explicit HoverPointer(QWidget &window);

    PointerSetting pointer() const { return mPointer; }
    // Sets the pointer and shows it over the window.
    void setPointer(PointerSetting pointer);
    // The image of the custom pointer; without one it is the standard arrow.
    void setCustomCursor(const QCursor &cursor);
    const std::optional<QCursor> &customCursor() const { return mCustom; }

    void watchButton(QWidget &button);
    void watchSurface(QWidget &surface);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget &widget, PointerSetting wanted);
    QCursor cursorFor(PointerSetting pointer) const;

    QWidget &mWindow;
    PointerSetting mPointer = PointerSetting::Default;
    std::optional<QCursor> mCustom;
};

} // namespace orv
