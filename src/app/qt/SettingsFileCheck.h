#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace orv {

// An INI settings file as start-up finds it.
//
// The INI reader never fails: an unterminated quote swallows every later
// line into one value, a ";" outside quotes cuts the rest of its line off as
// a comment, a backslash at the end of a line joins the next line. Such a
// file reads as something else than what it holds, and the first write
// would replace it with what was read.
enum class SettingsFileState {
    Missing,
    Readable,
    NotARegularFile,
    // Not read back exactly as the program would write it: a line the
    // reader skips or takes otherwise than it stands, a key twice over,
    // bytes that are not UTF-8, a key of the group that is not among the
    // known keys, or a file far too big to be a settings file.
    Unreadable,
};

// `keys` are every key the program knows in `group`.
SettingsFileState inspectSettingsFile(const QString &path, const QString &group, const QStringList &keys);

// What in an unreadable file is not read as it stands, in the user's words
// ("the unknown key Colour (line 4)"), in the order of the file; empty when
// the file is readable, missing or not a regular file.
QStringList settingsFileFaults(const QString &path, const QString &group, const QStringList &keys);

// Copies the file to "<path>.unreadable-<yyyyMMdd-HHmmss>", with "-2", "-3"
// ... added when that name is taken: an earlier copy is never overwritten.
// Returns the copy's path; throws a Failure when no copy could be made.
QString keepUnreadableCopy(const QString &path, const QDateTime &now);

} // namespace orv
