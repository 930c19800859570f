#pragma once

#include <QByteArray>
#include <QString>

namespace orv::sheet {

// Writes a whole file to a temporary file in the target's folder and renames
// it into place only when complete, so a failed save leaves any older file
// untouched. A Failure names the path and the reason.
void writeFileAtomically(const QByteArray &bytes, const QString &path);

} // namespace orv::sheet
