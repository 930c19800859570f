#pragma once

#include "sheet/xls/ByteBuffer.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace orv::sheet::xls {

// Record numbers used by the reader and the writer.
namespace rec {
inline constexpr unsigned Formula = 0x0006;
inline constexpr unsigned Eof = 0x000A;
inline constexpr unsigned CalcCount = 0x000C;
inline constexpr unsigned CalcMode = 0x000D;
inline constexpr unsigned Precision = 0x000E;
inline constexpr unsigned RefMode = 0x000F;
inline constexpr unsigned Delta = 0x0010;
inline constexpr unsigned Iteration = 0x0011;
inline constexpr unsigned Protect = 0x0012;
inline constexpr unsigned Password = 0x0013;
inline constexpr unsigned Header = 0x0014;
inline constexpr unsigned Footer = 0x0015;
inline constexpr unsigned ExternSheet = 0x0017;
inline constexpr unsigned Name = 0x0018;
inline constexpr unsigned WindowProtect = 0x0019;
inline constexpr unsigned Selection = 0x001D;
inline constexpr unsigned DateMode = 0x0022;
inline constexpr unsigned LeftMargin = 0x0026;
inline constexpr unsigned RightMargin = 0x0027;
inline constexpr unsigned TopMargin = 0x0028;
inline constexpr unsigned BottomMargin = 0x0029;
inline constexpr unsigned PrintHeaders = 0x002A;
inline constexpr unsigned PrintGridlines = 0x002B;
inline constexpr unsigned FilePass = 0x002F;
inline constexpr unsigned Font = 0x0031;
inline constexpr unsigned Continue = 0x003C;
inline constexpr unsigned Window1 = 0x003D;
inline constexpr unsigned Backup = 0x0040;
inline constexpr unsigned Pane = 0x0041;
inline constexpr unsigned CodePage = 0x0042;
inline constexpr unsigned DefColWidth = 0x0055;
inline constexpr unsigned WriteAccess = 0x005C;
inline constexpr unsigned SaveRecalc = 0x005F;
inline constexpr unsigned Template = 0x0060;
inline constexpr unsigned ColInfo = 0x007D;
inline constexpr unsigned Guts = 0x0080;
inline constexpr unsigned WsBool = 0x0081;
inline constexpr unsigned GridSet = 0x0082;
inline constexpr unsigned HCenter = 0x0083;
inline constexpr unsigned VCenter = 0x0084;
inline constexpr unsigned BoundSheet = 0x0085;
inline constexpr unsigned Country = 0x008C;
inline constexpr unsigned HideObj = 0x008D;
inline constexpr unsigned Palette = 0x0092;
inline constexpr unsigned FnGroupCount = 0x009C;
inline constexpr unsigned Setup = 0x00A1;
inline constexpr unsigned MulRk = 0x00BD;
inline constexpr unsigned MulBlank = 0x00BE;
inline constexpr unsigned Mms = 0x00C1;
inline constexpr unsigned RString = 0x00D6;
inline constexpr unsigned DbCell = 0x00D7;
inline constexpr unsigned BookBool = 0x00DA;
inline constexpr unsigned Xf = 0x00E0;
inline constexpr unsigned InterfaceHdr = 0x00E1;
inline constexpr unsigned InterfaceEnd = 0x00E2;
inline constexpr unsigned MergedCells = 0x00E5;
inline constexpr unsigned Sst = 0x00FC;
inline constexpr unsigned LabelSst = 0x00FD;
inline constexpr unsigned ExtSst = 0x00FF;
inline constexpr unsigned TabId = 0x013D;
inline constexpr unsigned UsesElfs = 0x0160;
inline constexpr unsigned Dsf = 0x0161;
inline constexpr unsigned SupBook = 0x01AE;
inline constexpr unsigned Prot4Rev = 0x01AF;
inline constexpr unsigned CondFmt = 0x01B0;
inline constexpr unsigned Cf = 0x01B1;
inline constexpr unsigned RefreshAll = 0x01B7;
inline constexpr unsigned Prot4RevPass = 0x01BC;
inline constexpr unsigned Dimensions = 0x0200;
inline constexpr unsigned Blank = 0x0201;
inline constexpr unsigned Number = 0x0203;
inline constexpr unsigned Label = 0x0204;
inline constexpr unsigned BoolErr = 0x0205;
inline constexpr unsigned String = 0x0207;
inline constexpr unsigned Row = 0x0208;
inline constexpr unsigned Index = 0x020B;
inline constexpr unsigned DefaultRowHeight = 0x0225;
inline constexpr unsigned Window2 = 0x023E;
inline constexpr unsigned Rk = 0x027E;
inline constexpr unsigned Style = 0x0293;
inline constexpr unsigned Format = 0x041E;
inline constexpr unsigned ShrFmla = 0x04BC;
inline constexpr unsigned Bof = 0x0809;
} // namespace rec

// Largest amount of data one record may carry; more goes into CONTINUE records.
inline constexpr int kMaxRecordData = 8224;

// Writes records to a workbook stream. Records built piece by piece are
// split into CONTINUE records where needed; strings split across records
// repeat their option byte at the start of the continuation.
class RecordWriter {
public:
    qsizetype position() const { return mOut.size(); }
    QByteArray &bytes() { return mOut.bytes(); }

    void record(unsigned type, const QByteArray &data);
    void record(unsigned type, const ByteWriter &data) { record(type, data.bytes()); }
    // Starts a record of known length (at most 8224 bytes) whose data the
    // caller appends to the returned writer.
    ByteWriter &header(unsigned type, unsigned length)
    {
        mOut.u16(type);
        mOut.u16(length);
        return mOut;
    }

    void begin(unsigned type);
    // Bytes that must stay within one record.
    void atomic(const QByteArray &data);
    // Starts a CONTINUE record unless `bytes` more fit in the current one.
    void reserve(qsizetype bytes);
    // A string with a 16-bit character count, its option byte and characters.
    void unicodeString(const QString &text);
    void end();
    // Offset of the next byte from the start of the current record's header.
    qsizetype offsetInRecord() const { return mOut.size() - mRecordStart; }

private:
    void startContinue();
    qsizetype room() const { return kMaxRecordData - (mOut.size() - mRecordStart - 4); }

    ByteWriter mOut;
    qsizetype mRecordStart = -1;
};

// BOF of a BIFF8 substream: 0x0005 workbook globals, 0x0010 worksheet.
void writeBof(RecordWriter &out, unsigned type);
// A record whose data is one 16-bit value.
void writeValueRecord(RecordWriter &out, unsigned type, unsigned value);

// The RkNumber that holds `value` exactly: a 30-bit integer, or a double
// whose 34 low bits are zero; nothing for any other value.
std::optional<std::uint32_t> rkNumber(double value);

// True when every character fits in one byte (the compressed string form).
bool isCompressible(const QString &text);
void appendChars(ByteWriter &out, const QString &text, bool wide);
// XLUnicodeString (16-bit count) and ShortXLUnicodeString (8-bit count).
void appendUnicodeString(ByteWriter &out, const QString &text);
void appendShortUnicodeString(ByteWriter &out, const QString &text);

// One record with the data of the CONTINUE records that follow it appended;
// `continues` holds the offsets in `data` where each continuation began.
// The data may refer to the stream it was read from, which must outlive it.
struct Record {
    unsigned type = 0;
    QByteArray data;
    std::vector<qsizetype> continues;
    qsizetype offset = 0; // stream offset of the record header
};

class RecordReader {
public:
    explicit RecordReader(const QByteArray &stream, qsizetype start = 0) : mStream(stream), mPos(start) {}
    bool atEnd() const { return mPos + 4 > mStream.size(); }
    Record next();

private:
    const QByteArray &mStream;
    qsizetype mPos;
};

// Reads strings from a record whose characters may continue in a CONTINUE
// record, where a new option byte says their width.
class ContinuedStringReader {
public:
    explicit ContinuedStringReader(const Record &record)
        : mIn(record.data, "string"), mBreaks(record.continues) {}
    ByteReader &in() { return mIn; }
    // XLUnicodeRichExtendedString: formatting runs and phonetic data are skipped.
    QString richExtendedString();
    QString unicodeString() { return richExtendedString(); }

private:
    QString chars(qsizetype count, bool wide);

    ByteReader mIn;
    std::vector<qsizetype> mBreaks;
};

QString readUnicodeString(ByteReader &in);      // 16-bit count
QString readShortUnicodeString(ByteReader &in); // 8-bit count

} // namespace orv::sheet::xls
