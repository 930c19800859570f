#pragma once

#include <QString>

namespace orv {

// True when the path names an existing file or folder. Never fails: an
// empty, malformed or inaccessible path is simply false.
bool FileExists(const QString &path);

} // namespace orv
