#pragma once

#include <QString>

namespace orv {

// True when the path names an existing file or folder; never fails.
bool FileExists(const QString &path);

// Lets pending window events run, then deletes the file. A file that will
// not go at the first attempt (a read-only one) is made writable and deleted
// again. Nothing is reported: a missing or locked file is left as it is.
void DeleteFileIfExists(const QString &path);

} // namespace orv
