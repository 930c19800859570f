#include "sheet/render/RunDeflater.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace orv::sheet {

namespace {

constexpr int kDistance = 3;
constexpr int kMaxMatch = 258;

uint32_t reversed(uint32_t code, int length)
{
    uint32_t result = 0;
    for (int i = 0; i < length; ++i)
        result |= ((code >> i) & 1u) << (length - 1 - i);
    return result;
}

// The fixed Huffman code of a literal/length symbol, bit-reversed for writing
// least significant bit first.
struct Code {
    uint32_t bits;
    int length;
};

Code fixedCode(int symbol)
{
    if (symbol < 144)
        return {reversed(0x30 + symbol, 8), 8};
    if (symbol < 256)
        return {reversed(0x190 + symbol - 144, 9), 9};
    if (symbol < 280)
        return {reversed(symbol - 256, 7), 7};
    return {reversed(0xC0 + symbol - 280, 8), 8};
}

// A whole match: the length's symbol code, its extra bits and the code of
// distance 3 (distance symbol 2, five bits).
struct LengthCode {
    uint32_t bits;
    int length;
};

const std::array<LengthCode, kMaxMatch + 1> &lengthCodes()
{
    static const std::array<LengthCode, kMaxMatch + 1> codes = [] {
        static const int base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                   31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        std::array<LengthCode, kMaxMatch + 1> table{};
        for (int length = 3; length <= kMaxMatch; ++length) {
            int index = 28;
            while (base[index] > length)
                --index;
            const Code code = fixedCode(257 + index);
            const uint32_t extraValue = uint32_t(length - base[index]);
            const int lengthBits = code.length + extra[index];
            const uint32_t distance = reversed(kDistance - 1, 5);
            table[length] = {code.bits | (extraValue << code.length) | (distance << lengthBits), lengthBits + 5};
        }
        return table;
    }();
    return codes;
}

const std::array<Code, 256> &literalCodes()
{
    static const std::array<Code, 256> codes = [] {
        std::array<Code, 256> table{};
        for (int symbol = 0; symbol < 256; ++symbol)
            table[symbol] = fixedCode(symbol);
        return table;
    }();
    return codes;
}

// How many bytes from `at` repeat the bytes kDistance before them, at most `limit`.
int matchLength(const unsigned char *at, int limit)
{
    int length = 0;
    while (length + 8 <= limit) {
        uint64_t here, before;
        std::memcpy(&here, at + length, 8);
        std::memcpy(&before, at + length - kDistance, 8);
        if (here != before)
            break;
        length += 8;
    }
    while (length < limit && at[length] == at[length - kDistance])
        ++length;
    return length;
}

} // namespace

// The piece has room for what a write can add after it reached its size.
RunDeflater::RunDeflater(Sink sink, int pieceSize)
    : mSink(std::move(sink)), mPieceSize(pieceSize), mPiece(pieceSize + 16, '\0')
{
    putByte(0x78); // deflate, 32 KB window
    putByte(0x01); // no dictionary; header checksum
    putBits(1, 1); // the one and last block
    putBits(1, 2); // fixed Huffman codes
}

void RunDeflater::putBits(uint32_t bits, int count)
{
    // No code is longer than 18 bits, so whole 32-bit words are moved out
    // before the 64-bit store can fill up.
    mBits |= uint64_t(bits) << mBitCount;
    mBitCount += count;
    if (mBitCount < 32)
        return;
    qToLittleEndian(quint32(mBits), mPiece.data() + mPieceLength);
    mPieceLength += 4;
    mBits >>= 32;
    mBitCount -= 32;
    if (mPieceLength >= mPieceSize)
        flushPiece();
}

void RunDeflater::putByte(unsigned char byte) { mPiece[mPieceLength++] = char(byte); }

void RunDeflater::literal(unsigned char byte)
{
    const Code &code = literalCodes()[byte];
    putBits(code.bits, code.length);
}

void RunDeflater::match(int length)
{
    const LengthCode &code = lengthCodes()[length];
    putBits(code.bits, code.length);
}

void RunDeflater::flushPiece()
{
    if (mPieceLength == 0)
        return;
    mSink(QByteArray::fromRawData(mPiece.constData(), mPieceLength));
    mPieceLength = 0;
}

void RunDeflater::write(const unsigned char *data, size_t size)
{
    if (size == 0)
        return;
    mAdler = uint32_t(adler32_z(mAdler, data, size));
    // The last bytes of the previous write let a repeat continue across writes.
    mWindow.resize(kDistance + size);
    std::copy(mHistory.begin(), mHistory.end(), mWindow.begin());
    std::memcpy(mWindow.data() + kDistance, data, size);
    const unsigned char *bytes = mWindow.data() + kDistance;
    const size_t firstMatchable = mTotal >= kDistance ? 0 : size_t(kDistance - mTotal);
    size_t at = 0;
    while (at < size) {
        if (at >= firstMatchable) {
            const int length = matchLength(bytes + at, int(std::min<size_t>(kMaxMatch, size - at)));
            if (length >= 3) {
                match(length);
                at += length;
                continue;
            }
        }
        literal(bytes[at++]);
    }
    std::copy(mWindow.end() - kDistance, mWindow.end(), mHistory.begin());
    mTotal += size;
}

void RunDeflater::writeZeros(size_t count)
{
    if (count == 0)
        return;
    static const unsigned char zeros[kDistance] = {};
    // The first bytes go the usual way until three zeros stand behind.
    const size_t lead = std::min<size_t>(count, kDistance);
    write(zeros, lead);
    size_t left = count - lead;
    // Adler-32 over zeros: the byte sum stays, the sum of sums grows by it once per byte.
    constexpr uint64_t kModulus = 65521;
    const uint64_t sum = mAdler & 0xFFFF;
    const uint64_t sums = ((mAdler >> 16) + sum * (left % kModulus)) % kModulus;
    mAdler = uint32_t((sums << 16) | sum);
    mTotal += left;
    while (left >= 3) {
        const int length = int(std::min<size_t>(left, kMaxMatch));
        // A match must leave either nothing or at least three bytes behind it.
        const int taken = left - length > 0 && left - length < 3 ? length - 3 : length;
        match(taken);
        left -= taken;
    }
    while (left-- > 0)
        literal(0);
}

void RunDeflater::finish()
{
    putBits(fixedCode(256).bits, fixedCode(256).length); // end of block
    // The bits still held, padded to a whole byte.
    for (; mBitCount > 0; mBitCount -= 8) {
        putByte(uchar(mBits));
        mBits >>= 8;
    }
    mBitCount = 0;
    for (int shift = 24; shift >= 0; shift -= 8)
        putByte(uchar(mAdler >> shift));
    flushPiece();
}

} // namespace orv::sheet
