#include "sheet/xls/BiffRecords.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orv::sheet::xls {

void RecordWriter::record(unsigned type, const QByteArray &data)
{
    qsizetype at = 0;
    unsigned current = type;
    do {
        const qsizetype length = std::min<qsizetype>(kMaxRecordData, data.size() - at);
        mOut.u16(current);
        mOut.u16(static_cast<unsigned>(length));
        mOut.append(data.mid(at, length));
        at += length;
        current = rec::Continue;
    } while (at < data.size());
}

void RecordWriter::begin(unsigned type)
{
    mRecordStart = mOut.size();
    mOut.u16(type);
    mOut.u16(0);
}

void RecordWriter::end()
{
    mOut.patchU16(mRecordStart + 2, static_cast<unsigned>(mOut.size() - mRecordStart - 4));
    mRecordStart = -1;
}

void RecordWriter::startContinue()
{
    end();
    begin(rec::Continue);
}

void RecordWriter::reserve(qsizetype bytes)
{
    if (bytes > room())
        startContinue();
}

void RecordWriter::atomic(const QByteArray &data)
{
    reserve(data.size());
    mOut.append(data);
}

void RecordWriter::unicodeString(const QString &text)
{
    const bool wide = !isCompressible(text);
    ByteWriter header;
    header.u16(static_cast<unsigned>(text.size()));
    header.u8(wide ? 1 : 0);
    // Keep the header with at least one character.
    if (header.size() + (wide ? 2 : 1) > room() && !text.isEmpty())
        startContinue();
    atomic(header.bytes());
    const int charSize = wide ? 2 : 1;
    qsizetype done = 0;
    while (done < text.size()) {
        qsizetype fits = room() / charSize;
        if (fits == 0) {
            startContinue();
            mOut.u8(wide ? 1 : 0);
            fits = room() / charSize;
        }
        const qsizetype count = std::min(fits, text.size() - done);
        ByteWriter part;
        appendChars(part, text.mid(done, count), wide);
        mOut.append(part.bytes());
        done += count;
    }
}

void writeBof(RecordWriter &out, unsigned type)
{
    constexpr unsigned kBiff8 = 0x0600;
    ByteWriter data;
    data.u16(kBiff8);
    data.u16(type);
    data.u16(0x0DBB);     // build
    data.u16(0x07CC);     // year
    data.u32(0x000100C1); // file history flags
    data.u32(0x00000006); // lowest version that can read all records
    out.record(rec::Bof, data);
}

void writeValueRecord(RecordWriter &out, unsigned type, unsigned value)
{
    ByteWriter data;
    data.u16(value);
    out.record(type, data);
}

std::optional<std::uint32_t> rkNumber(double value)
{
    constexpr double kLowest = -(1 << 29), kHighest = (1 << 29) - 1;
    const bool negativeZero = value == 0 && std::signbit(value);
    if (value >= kLowest && value <= kHighest && value == std::trunc(value) && !negativeZero)
        return (static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) << 2) | 0x02;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & 0x3FFFFFFFFull) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(bits >> 32);
}

bool isCompressible(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

void appendChars(ByteWriter &out, const QString &text, bool wide)
{
    for (QChar c : text) {
        if (wide)
            out.u16(c.unicode());
        else
            out.u8(c.unicode());
    }
}

void appendUnicodeString(ByteWriter &out, const QString &text)
{
    const bool wide = !isCompressible(text);
    out.u16(static_cast<unsigned>(text.size()));
    out.u8(wide ? 1 : 0);
    appendChars(out, text, wide);
}

void appendShortUnicodeString(ByteWriter &out, const QString &text)
{
    const bool wide = !isCompressible(text);
    out.u8(static_cast<unsigned>(text.size()));
    out.u8(wide ? 1 : 0);
    appendChars(out, text, wide);
}

Record RecordReader::next()
{
    Record record;
    record.offset = mPos;
    ByteReader header(mStream.constData() + mPos, mStream.size() - mPos, "record header");
    record.type = header.u16();
    qsizetype length = header.u16();
    if (length > mStream.size() - mPos - 4)
        throw Failure(QStringLiteral("truncated record at offset %1").arg(mPos));
    // Without continuations the data is a view into the stream.
    record.data = QByteArray::fromRawData(mStream.constData() + mPos + 4, length);
    mPos += 4 + length;
    while (mPos + 4 <= mStream.size()) {
        ByteReader peek(mStream.constData() + mPos, 4, "record header");
        if (peek.u16() != rec::Continue)
            break;
        length = peek.u16();
        if (length > mStream.size() - mPos - 4)
            throw Failure(QStringLiteral("truncated record at offset %1").arg(mPos));
        record.continues.push_back(record.data.size());
        record.data.append(mStream.constData() + mPos + 4, length);
        mPos += 4 + length;
    }
    return record;
}

QString ContinuedStringReader::chars(qsizetype count, bool wide)
{
    QString text;
    while (count > 0) {
        const auto nextBreak = std::upper_bound(mBreaks.begin(), mBreaks.end(), mIn.position());
        qsizetype available = nextBreak == mBreaks.end() ? mIn.remaining() : *nextBreak - mIn.position();
        const qsizetype take = std::min(count, available / (wide ? 2 : 1));
        if (take == 0) {
            if (nextBreak == mBreaks.end() || available > 1)
                throw Failure(QStringLiteral("truncated string"));
            mIn.skip(available); // an odd byte left before the break
            continue;
        }
        text += mIn.chars(take, wide);
        count -= take;
        if (count > 0 && std::binary_search(mBreaks.begin(), mBreaks.end(), mIn.position()))
            wide = (mIn.u8() & 1) != 0;
    }
    return text;
}

QString ContinuedStringReader::richExtendedString()
{
    const qsizetype count = mIn.u16();
    const unsigned flags = mIn.u8();
    const unsigned runs = (flags & 0x08) ? mIn.u16() : 0;
    const std::uint32_t extra = (flags & 0x04) ? mIn.u32() : 0;
    // At a break right after the header the option byte is repeated.
    if (count > 0 && std::binary_search(mBreaks.begin(), mBreaks.end(), mIn.position())) {
        const QString text = [&] {
            const bool wide = (mIn.u8() & 1) != 0;
            return chars(count, wide);
        }();
        mIn.skip(static_cast<qsizetype>(runs) * 4);
        mIn.skip(extra);
        return text;
    }
    const QString text = chars(count, (flags & 1) != 0);
    mIn.skip(static_cast<qsizetype>(runs) * 4);
    mIn.skip(extra);
    return text;
}

QString readUnicodeString(ByteReader &in)
{
    const qsizetype count = in.u16();
    const bool wide = (in.u8() & 1) != 0;
    return in.chars(count, wide);
}

QString readShortUnicodeString(ByteReader &in)
{
    const qsizetype count = in.u8();
    const bool wide = (in.u8() & 1) != 0;
    return in.chars(count, wide);
}

} // namespace orv::sheet::xls
