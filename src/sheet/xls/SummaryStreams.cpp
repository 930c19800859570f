#include "sheet/xls/SummaryStreams.h"

#include "sheet/xls/ByteBuffer.h"

namespace orv::sheet::xls {

namespace {

// Format ids of the two property sets, in their stored byte order.
const QByteArray kSummaryFormatId = QByteArray::fromHex("E0859FF2F94F6810AB9108002B27B3D9");
const QByteArray kDocumentSummaryFormatId = QByteArray::fromHex("02D5CDD59C2E1B10939708002B2CF9AE");

QByteArray propertySet(const QByteArray &formatId)
{
    constexpr unsigned kPropertyCodePage = 1;
    constexpr unsigned kTypeInt16 = 2;
    constexpr unsigned kCodePageUtf16 = 1200;

    ByteWriter out;
    out.u16(0xFFFE); // byte order
    out.u16(0);      // format version
    out.u32(0x00020006); // originating system: Windows, version 6.2
    out.zeros(16);       // class id
    out.u32(1);          // sections
    out.append(formatId);
    out.u32(48); // offset of the section

    // Section: size, property count, (id, offset) pairs, then the values.
    out.u32(8 + 8 + 8);
    out.u32(1);
    out.u32(kPropertyCodePage);
    out.u32(16);
    out.u32(kTypeInt16);
    out.u16(kCodePageUtf16);
    out.u16(0);
    return out.bytes();
}

} // namespace

QByteArray summaryInformationStream() { return propertySet(kSummaryFormatId); }

QByteArray documentSummaryInformationStream() { return propertySet(kDocumentSummaryFormatId); }

} // namespace orv::sheet::xls
