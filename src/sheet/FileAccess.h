#pragma once

#include <QByteArray>
#include <QString>

namespace orv::sheet {

// The system's own words for an errno value ("No space left on device").
QString systemErrorText(int error);

// Whether a symbolic link standing at a path may be followed.
enum class Links { Follow, Refuse };

// Reads a whole regular file. Anything else at the path (a folder, a FIFO,
// a device, or a link when links are refused) is a Failure that says so,
// without waiting on it.
QByteArray readWholeFile(const QString &path, Links links);

// Whether new contents must be on disk before they replace a file.
enum class Durability {
    // Flushed before the rename, so that a crash leaves the old file or the
    // new one, never an empty one: for every file the user keeps.
    Lasting,
    // Not flushed: a file in the temporary folder that the same run reads
    // back and deletes (the chart's picture), where a flush only adds time.
    Scratch,
};

// New contents for a file, written completely to a hidden file beside it
// before commit() renames that file over the path in one step. The rename
// replaces whatever entry stands at the path (a link itself, never its
// target). A file being replaced keeps its mode and, where the system
// allows, its owner; a new one gets the usual mode for new files. Without
// commit() the hidden file is removed and the path left as it was.
class StagedFile {
public:
    StagedFile(const QString &path, const QByteArray &bytes, Durability durability = Durability::Lasting);
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&) = delete;
    ~StagedFile();

    void commit();

private:
    QString mPath;
    QString mStaged;
};

// Replaces the file at `path` with `bytes` through a StagedFile.
void replaceFile(const QByteArray &bytes, const QString &path, Durability durability = Durability::Lasting);

} // namespace orv::sheet
