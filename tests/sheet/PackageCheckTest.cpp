#include "files/Failure.h"
#include "sheet/xlsx/PackageCheck.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace orv::sheet::xlsx {
namespace {

quint32 crc32Of(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

template <typename Number>
void put(QByteArray &out, Number value)
{
    char bytes[sizeof(Number)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(Number));
}

// A zip package of stored parts whose directory states each part's true
// size and checksum: what a writer makes of a part it was handed cut short.
QByteArray storedPackage(const std::vector<std::pair<QByteArray, QByteArray>> &parts)
{
    QByteArray out;
    QByteArray directory;
    for (const auto &[name, content] : parts) {
        const quint32 offset = quint32(out.size());
        const auto header = [&](QByteArray &to, bool central) {
            put<quint32>(to, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put<quint16>(to, 20);
            put<quint16>(to, 20);
            put<quint16>(to, 0); // flags
            put<quint16>(to, 0); // stored
            put<quint32>(to, 0); // time and date
            put<quint32>(to, crc32Of(content));
            put<quint32>(to, quint32(content.size()));
            put<quint32>(to, quint32(content.size()));
            put<quint16>(to, quint16(name.size()));
            put<quint16>(to, 0);
            if (central) {
                put<quint16>(to, 0);
                put<quint16>(to, 0);
                put<quint16>(to, 0);
                put<quint32>(to, 0);
                put<quint32>(to, offset);
            }
            to += name;
        };
        header(out, false);
        out += content;
        header(directory, true);
    }
    const quint32 directoryOffset = quint32(out.size());
    out += directory;
    put<quint32>(out, 0x06054b50);
    put<quint16>(out, 0);
    put<quint16>(out, 0);
    put<quint16>(out, quint16(parts.size()));
    put<quint16>(out, quint16(parts.size()));
    put<quint32>(out, quint32(directory.size()));
    put<quint32>(out, directoryOffset);
    put<quint16>(out, 0);
    return out;
}

struct PartCase {
    const char *name;
    QByteArray sheet;
    bool complete;
};

void PrintTo(const PartCase &c, std::ostream *out) { *out << c.name; }

// A worksheet far longer than the part of it the check keeps at hand.
QByteArray longSheet(bool closed)
{
    QByteArray rows;
    for (int row = 1; row <= 20000; ++row)
        rows += "<row r=\"" + QByteArray::number(row) + "\"><c r=\"A" + QByteArray::number(row) + "\"><v>0</v></c></row>";
    return "<?xml version=\"1.0\"?><worksheet><sheetData>" + rows + (closed ? "</sheetData></worksheet>" : "</sheetData>");
}

class PackagePart : public ::testing::TestWithParam<PartCase> {};

// A part whose checksum holds can still be cut short: its XML then stops
// before its root element closes.
TEST_P(PackagePart, IsRefusedWhenItsXmlStopsBeforeItsRootCloses)
{
    const QByteArray package = storedPackage({{"[Content_Types].xml", "<?xml version=\"1.0\"?><Types/>"},
                                              {"xl/worksheets/sheet1.xml", GetParam().sheet}});
    if (GetParam().complete) {
        EXPECT_NO_THROW(checkPackage(package));
        return;
    }
    try {
        checkPackage(package);
        ADD_FAILURE() << "accepted";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("xl/worksheets/sheet1.xml")))
            << failure.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parts, PackagePart,
    ::testing::Values(
        PartCase{"Whole", "<?xml version=\"1.0\"?>\n<worksheet a=\"1\"><sheetData><row r=\"1\"/></sheetData></worksheet>\n",
                 true},
        PartCase{"ClosesItself", "<?xml version=\"1.0\"?><worksheet xmlns=\"x\"/>", true},
        PartCase{"CutInARow", "<?xml version=\"1.0\"?><worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>0</v>", false},
        PartCase{"CutInTheClosingTag", "<?xml version=\"1.0\"?><worksheet><sheetData></sheetData></works", false},
        PartCase{"OnlyTheDeclaration", "<?xml version=\"1.0\"?>", false},
        PartCase{"Empty", "", false}, PartCase{"LongAndWhole", longSheet(true), true},
        PartCase{"LongAndCutShort", longSheet(false), false}));

} // namespace
} // namespace orv::sheet::xlsx
