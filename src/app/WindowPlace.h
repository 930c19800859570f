#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

namespace orv {

// The settings keys the two windows keep their places under.
inline constexpr char kMainWindowPlaceKey[] = "MainWindowPlace";
inline constexpr char kPreviewWindowPlaceKey[] = "PreviewWindowPlace";

// A window's place as the settings store keeps it: its client area when not
// maximised, and whether it is maximised. Stored as text
// "left,top,width,height" with ",maximized" after it when it is.
struct WindowPlace {
    QRect normal;
    bool maximized = false;

    QString encoded() const;
    // Null for text that is no place, or a place of no size.
    static std::optional<WindowPlace> decoded(const QString &text);
};

// Where a window kept at `kept` goes on screens whose free areas are
// `screens`: its size bounded by the screen it was on, or by the first screen
// when none of them holds its centre any more; then moved as little as it
// takes to lie inside that screen.
QRect placeOnScreens(const QRect &kept, const QList<QRect> &screens);

} // namespace orv
