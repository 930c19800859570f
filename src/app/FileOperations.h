#pragma once

#include <QByteArray>
#include <QString>

namespace orv {

// Deletes the file and never reports a failure. Pending window events run
// first. A file that resists (read-only, for instance) gets a forced second
// attempt.
void DeleteFileIfExists(const QString &path);
// The forced attempt: makes the file writable and deletes it; errors are
// ignored.
void DeleteFileForced(const QString &path);

// Writes the bytes to a new file. The file must not exist: it is created
// exclusively and never through a symbolic link, so nothing that stands at
// the path already is ever overwritten. A failure leaves no file behind.
void WriteBytesToFile(const QByteArray &bytes, const QString &path);

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
