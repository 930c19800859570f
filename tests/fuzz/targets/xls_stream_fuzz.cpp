// Any workbook stream either reads or fails with a Failure; a workbook that
// was read writes, reads back and writes again to the same bytes.

#include "files/Failure.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace orv::sheet;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Workbook book;
    try {
        book = xls::readWorkbookStream(input);
    } catch (const orv::Failure &) {
        return 0;
    }
    try {
        const QByteArray first = xls::writeWorkbookStream(book);
        const QByteArray second = xls::writeWorkbookStream(xls::readWorkbookStream(first));
        if (first != second) {
            std::fprintf(stderr, "a workbook read from this stream does not write the same bytes twice\n");
            std::abort();
        }
    } catch (const orv::Failure &failure) {
        std::fprintf(stderr, "a workbook read from this stream cannot be written again: %s\n",
                     failure.description().toUtf8().constData());
        std::abort();
    }
    return 0;
}
