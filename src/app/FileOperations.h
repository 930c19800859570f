#pragma once

#include <QByteArray>
#include <QString>

namespace orv {

// Deletes the file and never reports a failure. Pending window events run
// first. A file that resists (read-only, for instance) gets a forced second
// attempt.
void DeleteFileIfExists(const QString &path);
// The forced attempt: makes the file writable and deletes it; errors are
// ignored. A link is only removed itself: its target's mode is never touched.
void DeleteFileForced(const QString &path);

// Marks a file of this run in the shared temporary folder as in use (an
// advisory shared lock held while the program runs), so that the clean-up
// of another run never takes it for a leftover of a dead one. The mark goes
// when DeleteFileIfExists removes the file, or when the program ends.
void markInUse(const QString &path);
// Whether some running program holds the file open under such a mark.
bool isMarkedInUse(int fd);

// Writes the bytes to a new file through a files::StagedFile. The file must
// not exist: nothing that stands at the path already (a link among them) is
// ever overwritten or followed. A failure leaves no file behind.
void WriteBytesToFile(const QByteArray &bytes, const QString &path);

// Makes the file at `path` hold exactly `bytes`. A file with these bytes is
// used as it is; a regular file with any other bytes (left by another run or
// version, damaged or cut short) is replaced; a missing one is written. A
// link or anything but a regular file standing there is a Failure: it is
// neither followed nor removed.
void WriteBytesUnlessEqual(const QByteArray &bytes, const QString &path);

// A name taken in a shared folder by creating an empty file there
// exclusively. The file is removed again unless release() says that it has
// been put to use.
class ReservedFile {
public:
    ReservedFile() = default;
    ReservedFile(ReservedFile &&other) noexcept;
    ReservedFile &operator=(ReservedFile &&other) noexcept;
    ~ReservedFile();

    // An invalid reservation when something already stands at the path;
    // throws a Failure when the file cannot be created for another reason.
    static ReservedFile create(const QString &path);

    bool isValid() const { return !mPath.isEmpty(); }
    void release() { mPath.clear(); }

private:
    QString mPath;
};

} // namespace orv
