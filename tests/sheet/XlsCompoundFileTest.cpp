#include "files/Failure.h"
#include "sheet/xls/ByteBuffer.h"
#include "sheet/xls/CompoundFile.h"

#include <gtest/gtest.h>

using namespace orv::sheet::xls;

namespace {

QByteArray patterned(qsizetype size, int seed)
{
    QByteArray data(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return data;
}

class CompoundStreamSize : public ::testing::TestWithParam<qsizetype> {};

TEST_P(CompoundStreamSize, StreamsComeBackByteForByte)
{
    const std::vector<CompoundStream> streams = {{QStringLiteral("Workbook"), patterned(GetParam(), 1)},
                                                 {QStringLiteral("\x05SummaryInformation"), patterned(200, 2)},
                                                 {QStringLiteral("Second"), patterned(GetParam() / 2 + 7, 3)}};
    const QByteArray file = writeCompoundFile(streams);
    EXPECT_EQ(file.size() % 512, 0);
    const auto back = readCompoundFile(file);
    ASSERT_EQ(back.size(), streams.size());
    for (const CompoundStream &stream : streams) {
        const auto found = std::find_if(back.begin(), back.end(), [&](const CompoundStream &s) { return s.name == stream.name; });
        ASSERT_NE(found, back.end()) << stream.name.toStdString();
        EXPECT_EQ(found->data, stream.data) << stream.name.toStdString();
    }
}

// Around the sector, mini sector and mini stream cutoff sizes, and large
// enough to need the extra sector table (more than 109 FAT sectors).
INSTANTIATE_TEST_SUITE_P(Sizes, CompoundStreamSize,
                         ::testing::Values(0, 1, 63, 64, 65, 511, 512, 4095, 4096, 4097, 70000, 7500000));

TEST(CompoundFile, OutputDependsOnlyOnTheStreams)
{
    const std::vector<CompoundStream> streams = {{QStringLiteral("Workbook"), patterned(9000, 5)}};
    EXPECT_EQ(writeCompoundFile(streams), writeCompoundFile(streams));
}

TEST(CompoundFile, ManyStreamsNeedSeveralDirectorySectors)
{
    std::vector<CompoundStream> streams;
    for (int i = 0; i < 40; ++i)
        streams.push_back({QStringLiteral("Stream %1").arg(i), patterned(100 * i, i)});
    const auto back = readCompoundFile(writeCompoundFile(streams));
    ASSERT_EQ(back.size(), streams.size());
    for (const CompoundStream &stream : streams) {
        const auto found = std::find_if(back.begin(), back.end(), [&](const CompoundStream &s) { return s.name == stream.name; });
        ASSERT_NE(found, back.end());
        EXPECT_EQ(found->data, stream.data);
    }
}

struct Damage {
    const char *name;
    std::function<void(QByteArray &)> apply;
    const char *message;
};

void setU32(QByteArray &file, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t u32At(const QByteArray &file, qsizetype at)
{
    ByteReader in(file);
    in.seek(at);
    return in.u32();
}

// Our layout: header, Workbook (sector 0 on), mini stream, mini FAT,
// directory, FAT. Entry 1 of the directory is the Workbook stream.
qsizetype fatOffset(const QByteArray &file) { return (u32At(file, 0x4C) + 1) * 512; }
qsizetype directoryOffset(const QByteArray &file) { return (u32At(file, 0x30) + 1) * 512; }

class DamagedCompoundFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedCompoundFile, IsRefusedWithAReason)
{
    QByteArray file = writeCompoundFile({{QStringLiteral("Workbook"), patterned(20000, 9)},
                                         {QStringLiteral("Small"), patterned(300, 4)}});
    GetParam().apply(file);
    try {
        readCompoundFile(file);
        FAIL() << "damaged file was accepted";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QLatin1String(GetParam().message)))
            << failure.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedCompoundFile,
    ::testing::Values(
        Damage{"empty", [](QByteArray &f) { f.clear(); }, "not a compound"},
        Damage{"text", [](QByteArray &f) { f = QByteArray(2048, 'x'); }, "not a compound"},
        Damage{"byte_order", [](QByteArray &f) { f[0x1C] = 0; }, "byte order"},
        Damage{"sector_size", [](QByteArray &f) { f[0x1E] = 10; }, "version"},
        Damage{"cut_in_half", [](QByteArray &f) { f.truncate(f.size() / 2); }, "truncated"},
        Damage{"fat_loop", [](QByteArray &f) { setU32(f, fatOffset(f) + 4 * 3, 1); }, "loops"},
        Damage{"chain_outside_table", [](QByteArray &f) { setU32(f, fatOffset(f) + 4 * 2, 0x00FFFFFF); }, "outside"},
        Damage{"stream_larger_than_chain", [](QByteArray &f) { setU32(f, directoryOffset(f) + 128 + 0x78, 0x7FFFFFF0); },
               "inconsistent sizes"},
        Damage{"mini_stream_outside", [](QByteArray &f) { setU32(f, directoryOffset(f) + 2 * 128 + 0x74, 9999); },
               "outside"},
        Damage{"fat_count_too_large", [](QByteArray &f) { setU32(f, 0x2C, 0x10000000); }, "inconsistent sizes"},
        Damage{"directory_beyond_end", [](QByteArray &f) { setU32(f, 0x30, 0x00FFFFF0); }, "outside"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
