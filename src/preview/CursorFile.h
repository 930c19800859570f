#pragma once

#include <QCursor>
#include <QString>

namespace orv::preview {

// Loads a Windows cursor file (.cur) with its hot spot. Throws a Failure
// ("Invalid picture") when the file cannot be read as a cursor.
QCursor loadCursorFile(const QString &path);

} // namespace orv::preview
