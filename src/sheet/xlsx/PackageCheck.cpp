#include "sheet/xlsx/PackageCheck.h"

#include "files/Failure.h"

#include <QString>
#include <QXmlStreamReader>
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

// The part's bytes in full; libzip refuses a part whose checksum or size is
// not the one the directory states.
QByteArray contentOf(zip_t *zip, zip_uint64_t index, const QString &name)
{
    zip_stat_t stat;
    if (zip_stat_index(zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || stat.size > (1ULL << 31))
        damaged(name);
    const std::unique_ptr<zip_file_t, CloseEntry> entry(zip_fopen_index(zip, index, 0));
    QByteArray content(qsizetype(stat.size), Qt::Uninitialized);
    if (!entry || zip_fread(entry.get(), content.data(), stat.size) != zip_int64_t(stat.size))
        damaged(name);
    char beyond = 0;
    if (zip_fread(entry.get(), &beyond, 1) != 0)
        damaged(name);
    return content;
}

// A part cut short loses its end: the part must end with the closing tag of
// its root element, or be that element closing itself. Parsing the whole of
// a worksheet of a million cells would cost more than writing it.
bool endsLikeItsRoot(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement)
        return false;
    if (xml.trimmed().endsWith("</" + reader.qualifiedName().toUtf8() + '>'))
        return true;
    // A root that closes itself is all the part holds: read to its end.
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
        const QByteArray content = contentOf(zip.get(), index, name);
        if ((name.endsWith(QStringLiteral(".xml")) || name.endsWith(QStringLiteral(".rels"))) && !endsLikeItsRoot(content))
            damaged(name);
    }
}

} // namespace orv::sheet::xlsx
