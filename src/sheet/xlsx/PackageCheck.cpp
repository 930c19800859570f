#include "sheet/xlsx/PackageCheck.h"

#include "sheet/Failure.h"

#include <QString>
#include <zlib.h>

namespace orv::sheet::xlsx {

namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kDirectoryEntry = 0x02014b50;
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr int kEndOfDirectorySize = 22;
constexpr int kDirectoryEntrySize = 46;
constexpr int kLocalHeaderSize = 30;
constexpr unsigned kStored = 0;
constexpr unsigned kDeflated = 8;

class Reader {
public:
    explicit Reader(const QByteArray &bytes) : mBytes(bytes) {}

    std::uint32_t u16(qsizetype at) const { return byte(at) | byte(at + 1) << 8; }
    std::uint32_t u32(qsizetype at) const { return u16(at) | u16(at + 2) << 16; }
    bool holds(qsizetype at, qsizetype size) const { return at >= 0 && size >= 0 && at + size <= mBytes.size(); }

private:
    std::uint32_t byte(qsizetype at) const
    {
        if (!holds(at, 1))
            throw Failure(QStringLiteral("The written file is cut short"));
        return static_cast<unsigned char>(mBytes[at]);
    }

    const QByteArray &mBytes;
};

struct Part {
    QString name;
    unsigned method = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localHeader = 0;
};

[[noreturn]] void damaged(const QString &part)
{
    throw Failure(QStringLiteral("Part %1 of the written file is incomplete (is the temporary folder full?)").arg(part));
}

qsizetype endOfDirectory(const QByteArray &package, const Reader &in)
{
    for (qsizetype at = package.size() - kEndOfDirectorySize; at >= 0 && at >= package.size() - 0xFFFF - 22; --at)
        if (in.u32(at) == kEndOfDirectory)
            return at;
    throw Failure(QStringLiteral("The written file is not a complete zip package"));
}

std::vector<Part> directory(const QByteArray &package, const Reader &in)
{
    const qsizetype end = endOfDirectory(package, in);
    const std::uint32_t count = in.u16(end + 10);
    qsizetype at = in.u32(end + 16);
    std::vector<Part> parts;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (in.u32(at) != kDirectoryEntry)
            throw Failure(QStringLiteral("The written file's zip directory is damaged"));
        Part part;
        part.method = in.u16(at + 10);
        part.crc = in.u32(at + 16);
        part.compressedSize = in.u32(at + 20);
        part.size = in.u32(at + 24);
        const std::uint32_t nameLength = in.u16(at + 28);
        part.localHeader = in.u32(at + 42);
        if (!in.holds(at + kDirectoryEntrySize, nameLength))
            throw Failure(QStringLiteral("The written file's zip directory is damaged"));
        part.name = QString::fromUtf8(package.constData() + at + kDirectoryEntrySize, nameLength);
        parts.push_back(part);
        at += kDirectoryEntrySize + nameLength + in.u16(at + 30) + in.u16(at + 32);
    }
    return parts;
}

QByteArray contentOf(const QByteArray &package, const Reader &in, const Part &part)
{
    const qsizetype header = part.localHeader;
    if (in.u32(header) != kLocalHeader)
        damaged(part.name);
    const qsizetype data = header + kLocalHeaderSize + in.u16(header + 26) + in.u16(header + 28);
    if (!in.holds(data, part.compressedSize))
        damaged(part.name);
    if (part.method == kStored)
        return package.mid(data, part.compressedSize);
    if (part.method != kDeflated)
        damaged(part.name);
    QByteArray content(static_cast<qsizetype>(part.size), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        throw Failure(QStringLiteral("Out of memory"));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(package.constData() + data));
    stream.avail_in = part.compressedSize;
    stream.next_out = reinterpret_cast<Bytef *>(content.data());
    stream.avail_out = part.size;
    const int result = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != part.size)
        damaged(part.name);
    return content;
}

// The root element's closing tag ends the part, or the root closes itself.
bool endsLikeItsRoot(const QByteArray &xml)
{
    qsizetype start = 0;
    while ((start = xml.indexOf('<', start)) >= 0 && start + 1 < xml.size()
           && (xml[start + 1] == '?' || xml[start + 1] == '!'))
        ++start;
    if (start < 0)
        return false;
    qsizetype nameEnd = start + 1;
    while (nameEnd < xml.size() && !QChar::isSpace(static_cast<uchar>(xml[nameEnd])) && xml[nameEnd] != '>'
           && xml[nameEnd] != '/')
        ++nameEnd;
    const QByteArray trimmed = xml.trimmed();
    const QByteArray closing = "</" + xml.mid(start + 1, nameEnd - start - 1) + '>';
    return trimmed.endsWith(closing) || (trimmed.endsWith("/>") && trimmed.lastIndexOf('<') == start);
}

} // namespace

void checkPackage(const QByteArray &package)
{
    const Reader in(package);
    const std::vector<Part> parts = directory(package, in);
    if (parts.empty())
        throw Failure(QStringLiteral("The written file is empty"));
    for (const Part &part : parts) {
        const QByteArray content = contentOf(package, in, part);
        if (crc32(0, reinterpret_cast<const Bytef *>(content.constData()), static_cast<uInt>(content.size())) != part.crc)
            damaged(part.name);
        if ((part.name.endsWith(QStringLiteral(".xml")) || part.name.endsWith(QStringLiteral(".rels")))
            && !endsLikeItsRoot(content))
            damaged(part.name);
    }
}

} // namespace orv::sheet::xlsx
