#include "sheet/xlsx/PackageCheck.h"

#include "files/Failure.h"

#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <memory>

#include <zip.h>

namespace orv::sheet::xlsx {

namespace {

struct CloseZip {
    void operator()(zip_t *zip) const { zip_discard(zip); }
};
struct CloseEntry {
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};
using Zip = std::unique_ptr<zip_t, CloseZip>;

[[noreturn]] void damaged(const QString &part)
{
    throw Failure(QStringLiteral("Part %1 of the written file is incomplete (is the temporary folder full?)").arg(part));
}

// The package with its directory checked against the parts' headers.
Zip openPackage(const QByteArray &package)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(package.constData(), zip_uint64_t(package.size()), 0, &error);
    Zip zip(source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr);
    if (source && !zip)
        zip_source_free(source);
    zip_error_fini(&error);
    if (!zip)
        throw Failure(QStringLiteral("The written file is not a complete zip package"));
    return zip;
}

// What the checks read of a part: its beginning, where the root element
// opens, and its end, where the root must close. A part no longer than the
// beginning is kept whole. The rest streams through: a worksheet of a
// million cells is never held in memory again.
struct PartEnds {
    static constexpr qsizetype kHeadBytes = 1 << 16;
    static constexpr qsizetype kTailBytes = 1 << 12;
    QByteArray head;
    QByteArray tail;
    bool whole = true;
};

void keepTail(QByteArray &tail, const char *bytes, qsizetype count)
{
    if (count >= PartEnds::kTailBytes) {
        tail = QByteArray(bytes + count - PartEnds::kTailBytes, PartEnds::kTailBytes);
        return;
    }
    tail.append(bytes, count);
    if (tail.size() > PartEnds::kTailBytes)
        tail.remove(0, tail.size() - PartEnds::kTailBytes);
}

// The part read to its end; libzip refuses a part whose checksum is not the
// one the directory states, and its size must be the stated one.
PartEnds readPart(zip_t *zip, zip_uint64_t index, const QString &name)
{
    zip_stat_t stat;
    if (zip_stat_index(zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        damaged(name);
    const std::unique_ptr<zip_file_t, CloseEntry> entry(zip_fopen_index(zip, index, 0));
    if (!entry)
        damaged(name);
    PartEnds part;
    static thread_local char buffer[PartEnds::kHeadBytes];
    zip_uint64_t total = 0;
    for (zip_int64_t got; (got = zip_fread(entry.get(), buffer, sizeof buffer)) != 0;) {
        if (got < 0)
            damaged(name);
        total += zip_uint64_t(got);
        if (part.head.size() < PartEnds::kHeadBytes)
            part.head.append(buffer, std::min<qsizetype>(got, PartEnds::kHeadBytes - part.head.size()));
        keepTail(part.tail, buffer, got);
    }
    if (total != stat.size)
        damaged(name);
    part.whole = total <= zip_uint64_t(PartEnds::kHeadBytes);
    return part;
}

// A part cut short loses its end: the part must end with the closing tag of
// its root element, or be that element closing itself.
bool endsLikeItsRoot(const PartEnds &part)
{
    QXmlStreamReader reader(part.head);
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement)
        return false;
    if (part.tail.trimmed().endsWith("</" + reader.qualifiedName().toUtf8() + '>'))
        return true;
    // A root that closes itself is all the part holds: read to its end.
    if (!part.whole)
        return false;
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

void checkPackage(const QByteArray &package)
{
    const Zip zip = openPackage(package);
    const zip_int64_t parts = zip_get_num_entries(zip.get(), 0);
    if (parts <= 0)
        throw Failure(QStringLiteral("The written file is empty"));
    for (zip_uint64_t index = 0; index < zip_uint64_t(parts); ++index) {
        const QString name = QString::fromUtf8(zip_get_name(zip.get(), index, ZIP_FL_ENC_RAW));
        const PartEnds part = readPart(zip.get(), index, name);
        if ((name.endsWith(QStringLiteral(".xml")) || name.endsWith(QStringLiteral(".rels"))) && !endsLikeItsRoot(part))
            damaged(name);
    }
}

} // namespace orv::sheet::xlsx
