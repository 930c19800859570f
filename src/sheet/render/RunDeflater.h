#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace orv::sheet {

// A zlib stream encoder made for sheet pictures: after PNG's "up" filter their
// rows are almost all zeros and short repeating colour patterns. It codes
// repeats at a distance of 3 bytes (one RGB pixel, which also covers runs of
// one byte) as back-references with the fixed Huffman codes, everything else
// as literals. It is many times faster than general deflate on such data and
// its output is a valid zlib stream for any input.
class RunDeflater {
public:
    using Sink = std::function<void(const QByteArray &)>;

    // `sink` receives the compressed bytes in pieces of about `pieceSize`.
    RunDeflater(Sink sink, int pieceSize);

    void write(const unsigned char *data, size_t size);
    // Writes `count` zero bytes, the bulk of a picture: coded without looking
    // at each byte.
    void writeZeros(size_t count);
    // Ends the stream and hands over the last piece.
    void finish();

private:
    void putBits(uint32_t bits, int count);
    void putByte(unsigned char byte);
    void literal(unsigned char byte);
    void match(int length);
    void flushPiece();

    Sink mSink;
    int mPieceSize;
    QByteArray mPiece; // fixed size; the first mPieceLength bytes are written
    qsizetype mPieceLength = 0;
    uint64_t mBits = 0;
    int mBitCount = 0;
    uint32_t mAdler = 1;
    std::array<unsigned char, 3> mHistory{}; // the last three bytes written
    std::vector<unsigned char> mWindow;       // the history and the bytes being coded
    uint64_t mTotal = 0;
};

} // namespace orv::sheet
