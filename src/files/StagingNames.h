#pragma once

#include <QByteArray>
#include <QString>

namespace orv::files {

// Staged files are named ".orvantis-" and six random letters or digits: a
// name short enough beside any target name, and one no user file takes.
QByteArray newStagingName();
bool isStagingName(const char *name);

// Removes the staged files a killed run left in `folder`: regular files of
// this user with a staging name that no live run holds locked and that were
// not written to in the last minute (a live run locks its staged file right
// after creating it).
void removeStagingLeftovers(const QByteArray &folder);

// A new empty file with a staging name in `folder`, locked while the object
// lives and removed with it: a killed run's is cleared away like a staged
// file. For a library that writes only to a named file. Throws a Failure
// when no such file can be created.
class ScratchFile {
public:
    explicit ScratchFile(const QString &folder);
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;
    ~ScratchFile();

    const QByteArray &path() const { return mPath; }

private:
    QByteArray mPath;
    int mFd = -1;
};

} // namespace orv::files
