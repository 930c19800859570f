#pragma once

// Workbook streams that state far more than they hold, for the reader's
// limits: many sheet entries, sheets that share their records, many sheets
// of one name, more cells than a plan holds.
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/ByteBuffer.h"

#include <QByteArray>

namespace orv::sheet::xls::hostile {

inline QByteArray record(unsigned type, const QByteArray &data)
{
    RecordWriter out;
    out.record(type, data);
    return out.bytes();
}

inline QByteArray bof(unsigned type)
{
    ByteWriter data;
    data.u16(0x0600);
    data.u16(type);
    data.u16(0x0DBB);
    data.u16(0x07CC);
    data.u32(0);
    data.u32(6);
    return record(rec::Bof, data.bytes());
}

inline QByteArray boundSheet(std::uint32_t offset, const QByteArray &name)
{
    ByteWriter data;
    data.u32(offset);
    data.u8(0);
    data.u8(0);
    data.u8(unsigned(name.size()));
    data.u8(0);
    data.bytes() += name;
    return record(rec::BoundSheet, data.bytes());
}

// A worksheet of rows × columns blank cells, one MULBLANK record a row.
inline QByteArray blankSheet(int rows, int columns)
{
    QByteArray sheet = bof(0x0010);
    for (int row = 0; row < rows; ++row) {
        ByteWriter data;
        data.u16(unsigned(row));
        data.u16(0);
        for (int column = 0; column < columns; ++column)
            data.u16(15);
        data.u16(unsigned(columns - 1));
        sheet += record(rec::MulBlank, data.bytes());
    }
    return sheet + record(rec::Eof, {});
}

// `entries` sheet entries named `name`, spread over `places` sheets of
// rows × columns cells: more entries than places share their records.
inline QByteArray workbookStream(int entries, int places, const QByteArray &name, int rows, int columns)
{
    const QByteArray sheet = blankSheet(rows, columns);
    const qsizetype globals = bof(0x0005).size() + entries * boundSheet(0, name).size() + record(rec::Eof, {}).size();
    QByteArray stream = bof(0x0005);
    for (int entry = 0; entry < entries; ++entry)
        stream += boundSheet(std::uint32_t(globals + (entry % places) * sheet.size()), name);
    stream += record(rec::Eof, {});
    for (int place = 0; place < places; ++place)
        stream += sheet;
    return stream;
}

} // namespace orv::sheet::xls::hostile
