#pragma once

#include "files/Failure.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>

namespace orv::sheet::xls {

// Appends little-endian values to a byte array.
class ByteWriter {
public:
    QByteArray &bytes() { return mBytes; }
    const QByteArray &bytes() const { return mBytes; }
    qsizetype size() const { return mBytes.size(); }

    void u8(unsigned value) { mBytes.append(static_cast<char>(value & 0xFF)); }
    void u16(unsigned value)
    {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value)
    {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void f64(double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    void zeros(qsizetype count) { mBytes.append(count, '\0'); }
    void append(const QByteArray &data) { mBytes.append(data); }
    void patchU16(qsizetype at, unsigned value)
    {
        mBytes[at] = static_cast<char>(value & 0xFF);
        mBytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    void patchU32(qsizetype at, std::uint32_t value)
    {
        patchU16(at, value & 0xFFFF);
        patchU16(at + 2, value >> 16);
    }

private:
    QByteArray mBytes;
};

// Reads little-endian values from a byte range; reading past its end throws
// a Failure naming what was being read.
class ByteReader {
public:
    ByteReader(const char *data, qsizetype size, const char *what = "record")
        : mData(reinterpret_cast<const unsigned char *>(data)), mSize(size), mWhat(what) {}
    explicit ByteReader(const QByteArray &bytes, const char *what = "record")
        : ByteReader(bytes.constData(), bytes.size(), what) {}

    qsizetype position() const { return mPos; }
    qsizetype size() const { return mSize; }
    qsizetype remaining() const { return mSize - mPos; }
    bool atEnd() const { return mPos >= mSize; }
    void seek(qsizetype at)
    {
        if (at < 0 || at > mSize)
            fail();
        mPos = at;
    }
    void skip(qsizetype count) { seek(mPos + need(count)); }

    unsigned u8()
    {
        need(1);
        return mData[mPos++];
    }
    unsigned u16()
    {
        need(2);
        const unsigned value = mData[mPos] | (mData[mPos + 1] << 8);
        mPos += 2;
        return value;
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32()
    {
        const std::uint32_t low = u16();
        return low | (static_cast<std::uint32_t>(u16()) << 16);
    }
    double f64()
    {
        need(8);
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | mData[mPos + i];
        mPos += 8;
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    QByteArray bytes(qsizetype count)
    {
        need(count);
        QByteArray out(reinterpret_cast<const char *>(mData + mPos), count);
        mPos += count;
        return out;
    }
    // Characters of a BIFF8 string body: 8-bit (compressed) or UTF-16.
    QString chars(qsizetype count, bool wide)
    {
        QString text;
        if (wide) {
            need(count * 2);
            text.resize(count);
            for (qsizetype i = 0; i < count; ++i)
                text[i] = QChar(static_cast<char16_t>(mData[mPos + 2 * i] | (mData[mPos + 2 * i + 1] << 8)));
            mPos += count * 2;
        } else {
            need(count);
            text.resize(count);
            for (qsizetype i = 0; i < count; ++i)
                text[i] = QChar(static_cast<char16_t>(mData[mPos + i]));
            mPos += count;
        }
        return text;
    }

private:
    qsizetype need(qsizetype count)
    {
        if (count < 0 || count > mSize - mPos)
            fail();
        return count;
    }
    [[noreturn]] void fail() const { throw Failure(QStringLiteral("truncated %1").arg(QLatin1String(mWhat))); }

    const unsigned char *mData;
    qsizetype mSize;
    qsizetype mPos = 0;
    const char *mWhat;
};

} // namespace orv::sheet::xls
