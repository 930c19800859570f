#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace orv::test {

// The bytes of a file, or nothing when it cannot be read.
inline QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace orv::test
