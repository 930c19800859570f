#include "app/CursorFile.h"

#include <QPixmap>

#include "files/Failure.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace orv {

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;

quint16 word(const QByteArray &data, int at) { return qFromLittleEndian<quint16>(data.constData() + at); }
quint32 dword(const QByteArray &data, int at) { return qFromLittleEndian<quint32>(data.constData() + at); }

// Qt reads BMP images only inside icon files, so the cursor's image is
// wrapped in a one-entry icon directory (type 1, planes 1).
QByteArray asIconFile(const QByteArray &entry, const QByteArray &payload)
{
    QByteArray icon(kDirectorySize + kEntrySize, '\0');
    qToLittleEndian<quint16>(1, icon.data() + 2);
    qToLittleEndian<quint16>(1, icon.data() + 4);
    icon.replace(kDirectorySize, 4, entry.left(4));
    qToLittleEndian<quint16>(1, icon.data() + kDirectorySize + 4);
    const quint16 bitCount = payload.size() >= 16 ? word(payload, 14) : 0;
    qToLittleEndian<quint16>(bitCount, icon.data() + kDirectorySize + 6);
    qToLittleEndian<quint32>(quint32(payload.size()), icon.data() + kDirectorySize + 8);
    qToLittleEndian<quint32>(kDirectorySize + kEntrySize, icon.data() + kDirectorySize + 12);
    return icon + payload;
}

QImage decodePayload(const QByteArray &entry, const QByteArray &payload)
{
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (payload.startsWith(pngSignature))
        return QImage::fromData(payload, "PNG");
    QByteArray icon = asIconFile(entry, payload);
    QBuffer buffer(&icon);
    QImageReader reader(&buffer, "ICO");
    return reader.read();
}

} // namespace

CursorImage readCursorFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot read the cursor file %1").arg(shown));
    const QByteArray data = file.readAll();
    if (data.size() < kDirectorySize + kEntrySize || word(data, 0) != 0 || word(data, 2) != 2 || word(data, 4) == 0)
        throw Failure(QStringLiteral("Not a cursor file: %1").arg(shown));
    const QByteArray entry = data.mid(kDirectorySize, kEntrySize);
    const quint32 size = dword(entry, 8);
    const quint32 offset = dword(entry, 12);
    if (offset > quint32(data.size()) || size > quint32(data.size()) - offset)
        throw Failure(QStringLiteral("Not a cursor file: %1").arg(shown));
    const QImage image = decodePayload(entry, data.mid(offset, size));
    if (image.isNull())
        throw Failure(QStringLiteral("Not a cursor file: %1").arg(shown));
    const QPoint hotspot(word(entry, 4), word(entry, 6));
    if (!image.rect().contains(hotspot))
        throw Failure(QStringLiteral("Not a cursor file: %1").arg(shown));
    return {image, hotspot};
}

QCursor cursorFromFile(const QString &path)
{
    const CursorImage cursor = readCursorFile(path);
    return QCursor(QPixmap::fromImage(cursor.image), cursor.hotspot.x(), cursor.hotspot.y());
}

} // namespace orv
