#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace orv::files {

// The system's own words for an errno value ("No space left on device").
QString systemErrorText(int error);

// Whether a symbolic link standing at a path may be followed.
enum class Links { Follow, Refuse };

// Reads a whole regular file. Anything else at the path (a folder, a FIFO,
// a device, or a link when links are refused) is a Failure that says so,
// without waiting on it.
QByteArray readWholeFile(const QString &path, Links links);

// Reads a regular file as readWholeFile does, but no more than `limit`
// bytes: a caller that passes its largest size plus one tells a larger file
// by its length. A file whose size changes while it is read (one that keeps
// growing) is a Failure.
QByteArray readFileUpTo(const QString &path, Links links, qint64 limit);

// Whether new contents must be on disk before they replace a file.
enum class Durability {
    // The file, and then its folder, are flushed: once the write reports
    // success, a crash leaves the new file, and before that the old one,
    // never an empty one. For every file the user keeps.
    Lasting,
    // Not flushed: a file in the temporary folder that the same run reads
    // back and deletes (the chart's picture), where a flush only adds time.
    Scratch,
};

// The system calls a staged write makes. Each returns what the system call
// returns and leaves errno as it does; a test puts in its own to see them.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    // A new file in `folder` that has no name yet (O_TMPFILE), or -1.
    virtual int openUnnamed(const QByteArray &folder, mode_t mode);
    // A new file at `path`, never an existing one or a link (O_EXCL).
    virtual int openNew(const QByteArray &path, mode_t mode);
    virtual ssize_t write(int fd, const char *data, size_t size);
    virtual int sync(int fd);
    // Gives a file opened by openUnnamed the name `path`.
    virtual int linkUnnamed(int fd, const QByteArray &path);
    virtual int link(const QByteArray &from, const QByteArray &to);
    virtual int rename(const QByteArray &from, const QByteArray &to);
    virtual int unlink(const QByteArray &path);
    virtual int syncFolder(const QByteArray &folder);
    virtual int close(int fd);
};

FileCalls &systemFileCalls();

// New contents for a file, written completely to a new file in the same
// folder that no other name reaches (a file without a name where the file
// system allows it, else a fresh ".orvantis-XXXXXX" created exclusively),
// before commit() renames it over the path in one step. The rename replaces
// whatever entry stands at the path (a link itself, never its target). A file
// being replaced keeps its mode and, where the system allows, its owner; a
// new one gets the usual mode for new files. Without a commit the new file is
// removed and the path left as it was. Staged files left behind by a killed
// run are removed by the next write into their folder; a live run's are not,
// as it holds a lock on them.
class StagedFile {
public:
    StagedFile(const QString &path, const QByteArray &bytes, Durability durability = Durability::Lasting,
               FileCalls &calls = systemFileCalls());
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&) = delete;
    ~StagedFile();

    void commit();
    // Gives the file its path only when nothing stands there yet; false
    // (and the path left as it was) when something does.
    bool commitAsNew();

private:
    void nameStagedFile();
    void syncFolder();
    void release();

    FileCalls *mCalls;
    QString mPath;
    QByteArray mTarget;
    QByteArray mFolder;
    QByteArray mStaged; // empty while the staged file has no name
    int mFd = -1;
    Durability mDurability;
};

// Replaces the file at `path` with `bytes` through a StagedFile.
void replaceFile(const QByteArray &bytes, const QString &path, Durability durability = Durability::Lasting);

// Writes `bytes` to `path` through a StagedFile only when nothing stands at
// `path`; false when something does.
bool createFile(const QByteArray &bytes, const QString &path, Durability durability = Durability::Lasting);

} // namespace orv::files
