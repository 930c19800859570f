#include "preview/CursorFile.h"

#include "sheet/Failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace orv::preview {

namespace {

// The directory of a cursor file: reserved (0), type (2 for a cursor), image
// count, then 16-byte entries whose bytes 4..7 hold the hot spot.
constexpr qsizetype kHeaderSize = 6;
constexpr qsizetype kEntrySize = 16;

[[noreturn]] void invalid() { throw Failure(QStringLiteral("Invalid picture")); }

} // namespace

QCursor loadCursorFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        invalid();
    QByteArray bytes = file.readAll();
    if (bytes.size() < kHeaderSize + kEntrySize || qFromLittleEndian<quint16>(bytes.constData() + 2) != 2)
        invalid();
    const int hotX = qFromLittleEndian<quint16>(bytes.constData() + kHeaderSize + 4);
    const int hotY = qFromLittleEndian<quint16>(bytes.constData() + kHeaderSize + 6);

    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        invalid();
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace orv::preview
