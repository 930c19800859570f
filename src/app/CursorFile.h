#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

namespace orv {

// The first image of a Windows cursor file (.cur) and its hotspot.
struct CursorImage {
    QImage image;
    QPoint hotspot;
};

// Reads a cursor file: an icon directory of type 2 whose first entry gives
// the hotspot, with a BMP or PNG image behind it. Throws a Failure when the
// file cannot be read or is no cursor.
CursorImage readCursorFile(const QString &path);

// The cursor file as a mouse pointer with its hotspot.
QCursor cursorFromFile(const QString &path);

} // namespace orv
