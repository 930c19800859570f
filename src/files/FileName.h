#pragma once

#include <QByteArray>
#include <QString>

namespace orv::files {

// File names are bytes to the system and need not be UTF-8. A byte that is
// not part of a UTF-8 sequence is carried in the text as the lone surrogate
// U+DC80-U+DCFF and turned back into that byte when the name is used, so
// that every name reaches the system exactly as it was given.
QString fileNameFromBytes(const QByteArray &bytes);
QByteArray fileNameBytes(const QString &name);

} // namespace orv::files
