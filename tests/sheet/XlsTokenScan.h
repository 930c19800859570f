#pragma once

// Splits a 97-2003 workbook stream into records and formula bytes into
// tokens, for tests that check what was written token by token.

#include "sheet/xls/CompoundFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv::sheet::xls::testing {

struct RawRecord {
    unsigned type;
    qsizetype offset; // of the record's header in the stream
    QByteArray data;
};

inline unsigned le16(const QByteArray &data, qsizetype at)
{
    return static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8);
}

inline std::uint32_t le32(const QByteArray &data, qsizetype at) { return le16(data, at) | (le16(data, at + 2) << 16); }

inline QByteArray workbookStreamOfFile(const QByteArray &file)
{
    for (const CompoundStream &stream : readCompoundFile(file))
        if (stream.name == QLatin1String("Workbook"))
            return stream.data;
    throw std::runtime_error("no Workbook stream");
}

inline std::vector<RawRecord> rawRecords(const QByteArray &stream)
{
    std::vector<RawRecord> records;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const unsigned length = le16(stream, pos + 2);
        records.push_back({le16(stream, pos), pos, stream.mid(pos + 4, length)});
        pos += 4 + length;
    }
    return records;
}

struct Token {
    unsigned id;
    int offset;
    int size;

    bool classed() const { return id >= 0x20 && id < 0x80; }
    unsigned tokenClass() const { return id & 0x60; } // 0x20 reference, 0x40 value, 0x60 array
    // The token's kind without its class; the offset forms of references
    // (tRefN, tAreaN) count as the plain ones.
    unsigned kind() const
    {
        const unsigned base = id & 0x1F;
        return base == 0x0C ? 0x04 : base == 0x0D ? 0x05 : base;
    }
};

inline int tokenSize(const QByteArray &tokens, int at)
{
    const unsigned t = static_cast<unsigned char>(tokens[at]);
    if (t >= 0x03 && t <= 0x16)
        return 1;
    switch (t) {
    case 0x01:
    case 0x02: return 5;
    case 0x17: return 3 + static_cast<unsigned char>(tokens[at + 1]) * ((tokens[at + 2] & 1) ? 2 : 1);
    case 0x19: return (tokens[at + 1] & 0x04) ? 4 + 2 * (static_cast<int>(le16(tokens, at + 2)) + 1) : 4;
    case 0x1C:
    case 0x1D: return 2;
    case 0x1E: return 3;
    case 0x1F: return 9;
    default: break;
    }
    switch (t < 0x20 || t >= 0x80 ? 0xFF : t & 0x1F) {
    case 0x00: return 8;  // tArray
    case 0x01: return 3;  // tFunc
    case 0x02: return 4;  // tFuncVar
    case 0x03: return 5;  // tName
    case 0x04:            // tRef
    case 0x0A:            // tRefErr
    case 0x0C: return 5;  // tRefN
    case 0x05:            // tArea
    case 0x0B:            // tAreaErr
    case 0x0D: return 9;  // tAreaN
    case 0x06:            // tMemArea
    case 0x07:            // tMemErr
    case 0x08: return 7;  // tMemNoMem
    case 0x09: return 3;  // tMemFunc
    case 0x19:            // tNameX
    case 0x1A:            // tRef3d
    case 0x1C: return 7;  // tRefErr3d
    case 0x1B:            // tArea3d
    case 0x1D: return 11; // tAreaErr3d
    default: throw std::runtime_error("unknown token " + std::to_string(t));
    }
}

inline std::vector<Token> scanTokens(const QByteArray &tokens)
{
    std::vector<Token> result;
    for (int at = 0; at < tokens.size();) {
        const int size = tokenSize(tokens, at);
        result.push_back({static_cast<unsigned char>(tokens[at]), at, size});
        at += size;
    }
    return result;
}

// The tokens with every class set to the reference class: the same formula
// written with other classes gives the same bytes.
inline QByteArray withoutClasses(const QByteArray &tokens)
{
    QByteArray plain = tokens;
    for (const Token &token : scanTokens(tokens))
        if (token.classed())
            plain[token.offset] = static_cast<char>((token.id & 0x1F) | 0x20);
    return plain;
}

// "kind/class" of every classed token, in order: "04V 02R ...".
inline std::string classSequence(const QByteArray &tokens)
{
    std::string text;
    for (const Token &token : scanTokens(tokens)) {
        if (!token.classed())
            continue;
        static const char classes[] = "?RVA";
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02X%c ", token.kind(), classes[token.tokenClass() >> 5]);
        text += buffer;
    }
    return text;
}

} // namespace orv::sheet::xls::testing
