#pragma once

#include <QString>

namespace orv {

// The temporary folder: TEMP when it is set and not empty, used as it is.
// Otherwise a private folder "orvantis-<uid>" under the system temporary
// folder, created with mode 0700 when missing. An existing one is refused
// (Failure) unless it is a real folder owned by `uid` and closed to others,
// so that no other user can plant or read the chart files.
QString chooseTempFolder(const QString &tempVariable, const QString &systemTemp, unsigned uid);

} // namespace orv
