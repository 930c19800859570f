#include "sheet/render/RunDeflater.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

// One piece of input: bytes written as they are, or a run of zeros.
struct Piece {
    QByteArray bytes;
    size_t zeros = 0;
};

QByteArray compress(const std::vector<Piece> &pieces, int pieceSize, int *pieceCount = nullptr)
{
    QByteArray stream;
    int count = 0;
    RunDeflater deflater(
        [&](const QByteArray &piece) {
            EXPECT_LE(piece.size(), pieceSize + 8);
            stream += piece;
            ++count;
        },
        pieceSize);
    for (const Piece &piece : pieces) {
        if (piece.zeros > 0)
            deflater.writeZeros(piece.zeros);
        else
            deflater.write(reinterpret_cast<const unsigned char *>(piece.bytes.constData()), size_t(piece.bytes.size()));
    }
    deflater.finish();
    if (pieceCount)
        *pieceCount = count;
    return stream;
}

QByteArray plain(const std::vector<Piece> &pieces)
{
    QByteArray bytes;
    for (const Piece &piece : pieces)
        bytes += piece.zeros > 0 ? QByteArray(qsizetype(piece.zeros), '\0') : piece.bytes;
    return bytes;
}

// qUncompress reads a zlib stream behind its expected length; it checks the
// stream's Adler-32 sum as well.
QByteArray inflate(const QByteArray &stream, qsizetype size)
{
    QByteArray prefixed(4, '\0');
    qToBigEndian(quint32(size), prefixed.data());
    return qUncompress(prefixed + stream);
}

QByteArray pattern(int size, int period)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(0x30 + i % period);
    return bytes;
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(7);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

struct DeflateCase {
    const char *name;
    std::vector<Piece> pieces;
};

void PrintTo(const DeflateCase &c, std::ostream *out) { *out << c.name; }

class RunDeflaterStreams : public ::testing::TestWithParam<DeflateCase> {};

TEST_P(RunDeflaterStreams, InflateToTheirInput)
{
    const QByteArray expected = plain(GetParam().pieces);
    const QByteArray stream = compress(GetParam().pieces, 64);
    EXPECT_EQ(inflate(stream, expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RunDeflaterStreams, ::testing::Values(
    DeflateCase{"empty", {}},
    DeflateCase{"one byte", {{QByteArray("x"), 0}}},
    DeflateCase{"two bytes", {{QByteArray("xy"), 0}}},
    DeflateCase{"zeros only", {{{}, 100000}}},
    DeflateCase{"a few zeros", {{{}, 1}, {{}, 2}, {{}, 4}}},
    DeflateCase{"zeros after text", {{QByteArray("ab"), 0}, {{}, 260}, {QByteArray("c"), 0}, {{}, 259}}},
    DeflateCase{"pixel pattern", {{pattern(5000, 3), 0}}},
    DeflateCase{"byte runs", {{QByteArray(1000, 'q'), 0}, {QByteArray(3, 'r'), 0}, {QByteArray(517, 's'), 0}}},
    DeflateCase{"repeats across writes", {{pattern(7, 3), 0}, {pattern(2, 3), 0}, {pattern(300, 3), 0}}},
    DeflateCase{"every byte value", {{noise(70000), 0}}},
    DeflateCase{"rows of a picture", {{QByteArray(1, 2), 0}, {{}, 12288}, {QByteArray(1, 2), 0}, {pattern(900, 3), 0},
                                      {{}, 11388}, {QByteArray(1, 2), 0}, {{}, 12288}}}));

TEST(RunDeflaterSize, CodesZerosInAFewBitsPer258Bytes)
{
    int pieces = 0;
    const QByteArray stream = compress({{{}, 10'000'000}}, 1 << 16, &pieces);
    EXPECT_LT(stream.size(), 80'000);
    EXPECT_GE(pieces, 1);
    EXPECT_EQ(inflate(stream, 10'000'000), QByteArray(10'000'000, '\0'));
}

} // namespace
} // namespace orv::sheet
