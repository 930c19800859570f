#include "sheet/xls/CompoundFile.h"

#include "files/Failure.h"
#include "sheet/xls/ByteBuffer.h"

#include <QSet>
#include <algorithm>

namespace orv::sheet::xls {

namespace {

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr int kSectorSize = 512;
constexpr int kMiniSectorSize = 64;
constexpr int kMiniStreamCutoff = 4096;
constexpr int kHeaderDifatSlots = 109;
constexpr int kIdsPerSector = kSectorSize / 4;
constexpr int kDirEntrySize = 128;
const QByteArray kSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");
// The class id a spreadsheet application gives the root of its workbooks.
const QByteArray kWorkbookClassId = QByteArray::fromHex("2008020000000000C000000000000046");

int sectorsFor(qsizetype bytes, int sectorSize) { return static_cast<int>((bytes + sectorSize - 1) / sectorSize); }

// Directory entries are ordered by name length, then by upper-case name.
bool directoryLess(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

struct DirEntry {
    QString name;
    int type = 2; // 1 storage, 2 stream, 5 root
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = kEndOfChain;
    std::uint32_t size = 0;
};

// Links entries [first, last) of a sorted list into a balanced binary tree
// and returns the index of its root.
std::uint32_t linkTree(std::vector<DirEntry> &entries, const std::vector<int> &sorted, int first, int last)
{
    if (first >= last)
        return kNoStream;
    const int middle = (first + last) / 2;
    DirEntry &node = entries[sorted[middle]];
    node.left = linkTree(entries, sorted, first, middle);
    node.right = linkTree(entries, sorted, middle + 1, last);
    return static_cast<std::uint32_t>(sorted[middle]);
}

void writeDirEntry(ByteWriter &out, const DirEntry &entry, const QByteArray &classId)
{
    const qsizetype begin = out.size();
    for (QChar c : entry.name)
        out.u16(c.unicode());
    out.zeros(64 - (out.size() - begin));
    out.u16(static_cast<unsigned>((entry.name.size() + 1) * 2));
    out.u8(entry.type);
    out.u8(1); // black
    out.u32(entry.left);
    out.u32(entry.right);
    out.u32(entry.child);
    if (classId.isEmpty())
        out.zeros(16);
    else
        out.append(classId);
    out.zeros(4 + 8 + 8); // state bits, creation and modification times
    out.u32(entry.start);
    out.u32(entry.size);
    out.u32(0);
}

// Appends a chain of `count` consecutive sectors starting at `first`.
void chainSectors(std::vector<std::uint32_t> &fat, std::uint32_t first, int count)
{
    for (int i = 0; i < count; ++i)
        fat[first + i] = i + 1 < count ? first + i + 1 : kEndOfChain;
}

} // namespace

QByteArray writeCompoundFile(const std::vector<CompoundStream> &streams)
{
    std::vector<DirEntry> entries(1 + streams.size());
    entries[0].name = QStringLiteral("Root Entry");
    entries[0].type = 5;

    // Small streams go into the mini stream, which lives in big sectors.
    QByteArray miniStream;
    std::vector<std::uint32_t> miniFat;
    std::vector<int> bigStreams;
    for (size_t i = 0; i < streams.size(); ++i) {
        DirEntry &entry = entries[i + 1];
        entry.name = streams[i].name;
        entry.size = static_cast<std::uint32_t>(streams[i].data.size());
        if (entry.size == 0)
            continue;
        if (entry.size < kMiniStreamCutoff) {
            const int count = sectorsFor(entry.size, kMiniSectorSize);
            entry.start = static_cast<std::uint32_t>(miniFat.size());
            miniFat.resize(miniFat.size() + count);
            chainSectors(miniFat, entry.start, count);
            miniStream.append(streams[i].data);
            miniStream.append(count * kMiniSectorSize - streams[i].data.size(), '\0');
        } else {
            bigStreams.push_back(static_cast<int>(i));
        }
    }

    std::vector<int> sorted;
    for (int i = 1; i < static_cast<int>(entries.size()); ++i)
        sorted.push_back(i);
    std::sort(sorted.begin(), sorted.end(),
              [&](int a, int b) { return directoryLess(entries[a].name, entries[b].name); });
    entries[0].child = linkTree(entries, sorted, 0, static_cast<int>(sorted.size()));

    // Sector layout: big streams, mini stream, mini FAT, directory, FAT, DIFAT.
    int dataSectors = 0;
    for (int index : bigStreams)
        dataSectors += sectorsFor(streams[index].data.size(), kSectorSize);
    const int miniStreamSectors = sectorsFor(miniStream.size(), kSectorSize);
    const int miniFatSectors = sectorsFor(static_cast<qsizetype>(miniFat.size()) * 4, kSectorSize);
    const int dirSectors = sectorsFor(static_cast<qsizetype>(entries.size()) * kDirEntrySize, kSectorSize);
    const int fixedSectors = dataSectors + miniStreamSectors + miniFatSectors + dirSectors;
    int fatSectors = 1;
    int difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > kHeaderDifatSlots
                           ? sectorsFor(fatSectors - kHeaderDifatSlots, kIdsPerSector - 1)
                           : 0;
        const int needed = sectorsFor(fixedSectors + fatSectors + difatSectors, kIdsPerSector);
        if (needed <= fatSectors)
            break;
        fatSectors = needed;
    }
    const int totalSectors = fixedSectors + fatSectors + difatSectors;
    std::vector<std::uint32_t> fat(static_cast<size_t>(fatSectors) * kIdsPerSector, kFreeSector);

    std::uint32_t next = 0;
    for (int index : bigStreams) {
        const int count = sectorsFor(streams[index].data.size(), kSectorSize);
        entries[index + 1].start = next;
        chainSectors(fat, next, count);
        next += count;
    }
    if (miniStreamSectors > 0) {
        entries[0].start = next;
        entries[0].size = static_cast<std::uint32_t>(miniStream.size());
        chainSectors(fat, next, miniStreamSectors);
        next += miniStreamSectors;
    }
    const std::uint32_t miniFatStart = miniFatSectors > 0 ? next : kEndOfChain;
    chainSectors(fat, next, miniFatSectors);
    next += miniFatSectors;
    const std::uint32_t dirStart = next;
    chainSectors(fat, next, dirSectors);
    next += dirSectors;
    const std::uint32_t fatStart = next;
    for (int i = 0; i < fatSectors; ++i)
        fat[next++] = kFatSector;
    const std::uint32_t difatStart = difatSectors > 0 ? next : kEndOfChain;
    for (int i = 0; i < difatSectors; ++i)
        fat[next++] = kDifatSector;

    ByteWriter out;
    out.bytes().reserve(static_cast<qsizetype>(totalSectors + 1) * kSectorSize);
    out.append(kSignature);
    out.zeros(16);
    out.u16(0x003E); // minor version
    out.u16(0x0003); // major version 3
    out.u16(0xFFFE); // little-endian
    out.u16(9);      // 512-byte sectors
    out.u16(6);      // 64-byte mini sectors
    out.zeros(6);
    out.u32(0); // directory sectors (always 0 in version 3)
    out.u32(fatSectors);
    out.u32(dirStart);
    out.u32(0); // transaction signature
    out.u32(kMiniStreamCutoff);
    out.u32(miniFatStart);
    out.u32(miniFatSectors);
    out.u32(difatStart);
    out.u32(difatSectors);
    for (int i = 0; i < kHeaderDifatSlots; ++i)
        out.u32(i < fatSectors ? fatStart + i : kFreeSector);

    auto padSector = [&] { out.zeros((kSectorSize - out.size() % kSectorSize) % kSectorSize); };
    for (int index : bigStreams) {
        out.append(streams[index].data);
        padSector();
    }
    out.append(miniStream);
    padSector();
    for (std::uint32_t id : miniFat)
        out.u32(id);
    while (out.size() % kSectorSize)
        out.u32(kFreeSector);
    for (size_t i = 0; i < entries.size(); ++i)
        writeDirEntry(out, entries[i], i == 0 ? kWorkbookClassId : QByteArray());
    while (out.size() % kSectorSize) {
        DirEntry unused;
        unused.type = 0;
        unused.start = 0;
        writeDirEntry(out, unused, {});
    }
    for (std::uint32_t id : fat)
        out.u32(id);
    for (int i = 0; i < difatSectors; ++i) {
        for (int slot = 0; slot < kIdsPerSector - 1; ++slot) {
            const int fatIndex = kHeaderDifatSlots + i * (kIdsPerSector - 1) + slot;
            out.u32(fatIndex < fatSectors ? fatStart + fatIndex : kFreeSector);
        }
        out.u32(i + 1 < difatSectors ? difatStart + i + 1 : kEndOfChain);
    }
    return out.bytes();
}

namespace {

// Reading side: sector access with every chain checked against the file.
class CompoundReader {
public:
    explicit CompoundReader(const QByteArray &file) : mFile(file) {}

    std::vector<CompoundStream> read()
    {
        if (mFile.size() < kSectorSize || !mFile.startsWith(kSignature))
            throw Failure(QStringLiteral("not a compound document file"));
        ByteReader header(mFile.constData(), kSectorSize, "file header");
        header.seek(0x1A);
        const unsigned major = header.u16();
        if (header.u16() != 0xFFFE)
            throw Failure(QStringLiteral("unsupported byte order in the compound file header"));
        const unsigned sectorShift = header.u16();
        const unsigned miniShift = header.u16();
        if ((major == 3 && sectorShift != 9) || (major == 4 && sectorShift != 12) || (major != 3 && major != 4)
            || miniShift != 6)
            throw Failure(QStringLiteral("unsupported compound file version"));
        mSectorSize = 1 << sectorShift;
        mSectorCount = static_cast<std::uint32_t>((mFile.size() - mSectorSize) / mSectorSize);
        header.seek(0x2C);
        const std::uint32_t fatCount = header.u32();
        const std::uint32_t dirStart = header.u32();
        header.skip(4);
        mMiniCutoff = header.u32();
        const std::uint32_t miniFatStart = header.u32();
        header.skip(4);
        std::uint32_t difatNext = header.u32();
        const std::uint32_t difatCount = header.u32();
        if (fatCount > mSectorCount || difatCount > mSectorCount)
            throw Failure(QStringLiteral("inconsistent sizes in the compound file header"));

        std::vector<std::uint32_t> fatSectors;
        for (int i = 0; i < kHeaderDifatSlots && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(header.u32());
        QSet<std::uint32_t> seen;
        for (std::uint32_t i = 0; i < difatCount && fatSectors.size() < fatCount; ++i) {
            if (seen.contains(difatNext))
                throw Failure(QStringLiteral("the compound file's sector table loops"));
            seen.insert(difatNext);
            const QByteArray sector = sectorData(difatNext);
            ByteReader ids(sector, "sector table");
            const int idsPerDifat = mSectorSize / 4 - 1;
            for (int slot = 0; slot < idsPerDifat && fatSectors.size() < fatCount; ++slot)
                fatSectors.push_back(ids.u32());
            difatNext = ids.u32();
        }
        if (fatSectors.size() < fatCount)
            throw Failure(QStringLiteral("the compound file's sector table is incomplete"));
        mFat.reserve(fatSectors.size() * (mSectorSize / 4));
        for (std::uint32_t id : fatSectors) {
            const QByteArray sector = sectorData(id);
            ByteReader ids(sector, "sector table");
            while (!ids.atEnd())
                mFat.push_back(ids.u32());
        }

        const QByteArray directory = chain(mFat, dirStart, [&](std::uint32_t id) { return sectorData(id); });
        std::vector<DirEntry> entries;
        for (qsizetype at = 0; at + kDirEntrySize <= directory.size(); at += kDirEntrySize)
            entries.push_back(parseEntry(directory.mid(at, kDirEntrySize), major));
        if (entries.empty() || entries[0].type != 5)
            throw Failure(QStringLiteral("the compound file has no root storage"));

        const DirEntry &root = entries[0];
        QByteArray miniStream;
        std::vector<std::uint32_t> miniFat;
        bool miniLoaded = false;
        auto loadMini = [&] {
            if (miniLoaded)
                return;
            miniLoaded = true;
            miniStream = chain(mFat, root.start, [&](std::uint32_t id) { return sectorData(id); });
            if (root.size > miniStream.size())
                throw Failure(QStringLiteral("inconsistent sizes: the mini stream is shorter than its entry says"));
            miniStream.truncate(root.size);
            const QByteArray table = chain(mFat, miniFatStart, [&](std::uint32_t id) { return sectorData(id); });
            ByteReader ids(table, "mini sector table");
            while (ids.remaining() >= 4)
                miniFat.push_back(ids.u32());
        };

        std::vector<CompoundStream> streams;
        qsizetype totalBytes = 0;
        for (size_t i = 1; i < entries.size(); ++i) {
            const DirEntry &entry = entries[i];
            if (entry.type != 2)
                continue;
            QByteArray data;
            if (entry.size == 0) {
            } else if (entry.size < mMiniCutoff) {
                loadMini();
                data = chain(miniFat, entry.start, [&](std::uint32_t id) {
                    const qsizetype at = static_cast<qsizetype>(id) * kMiniSectorSize;
                    if (at + kMiniSectorSize > miniStream.size())
                        throw Failure(QStringLiteral("inconsistent sizes: a mini sector lies outside the mini stream"));
                    return miniStream.mid(at, kMiniSectorSize);
                });
            } else {
                data = chain(mFat, entry.start, [&](std::uint32_t id) { return sectorData(id); });
            }
            if (entry.size > data.size())
                throw Failure(QStringLiteral("inconsistent sizes: stream \"%1\" is shorter than its entry says")
                                  .arg(entry.name));
            data.truncate(entry.size);
            // Streams may share sectors only in a damaged file; stop before
            // such sharing multiplies the memory used.
            totalBytes += data.size();
            if (totalBytes > 2 * mFile.size())
                throw Failure(QStringLiteral("inconsistent sizes: streams overlap"));
            streams.push_back({entry.name, data});
        }
        return streams;
    }

private:
    QByteArray sectorData(std::uint32_t id) const
    {
        if (id >= mSectorCount)
            throw Failure(QStringLiteral("truncated: sector %1 lies beyond the end of the file").arg(id));
        return mFile.mid(static_cast<qsizetype>(id + 1) * mSectorSize, mSectorSize);
    }

    // Follows a chain, refusing one that visits a sector twice.
    template <typename Load>
    QByteArray chain(const std::vector<std::uint32_t> &table, std::uint32_t start, Load load) const
    {
        QByteArray data;
        std::vector<bool> visited(table.size());
        for (std::uint32_t id = start; id != kEndOfChain; id = table[id]) {
            if (id >= table.size())
                throw Failure(QStringLiteral("inconsistent sizes: a sector chain points outside its table"));
            if (visited[id])
                throw Failure(QStringLiteral("a sector chain of the compound file loops"));
            visited[id] = true;
            data.append(load(id));
        }
        return data;
    }

    DirEntry parseEntry(const QByteArray &bytes, unsigned major) const
    {
        ByteReader in(bytes, "directory entry");
        DirEntry entry;
        const QString raw = in.chars(32, true);
        in.seek(64);
        const unsigned nameBytes = in.u16();
        entry.name = raw.left(std::clamp<int>(static_cast<int>(nameBytes) / 2 - 1, 0, 31));
        entry.type = static_cast<int>(in.u8());
        in.seek(0x74);
        entry.start = in.u32();
        entry.size = in.u32();
        const std::uint32_t high = in.u32();
        if (major == 4 && high != 0)
            throw Failure(QStringLiteral("inconsistent sizes: stream \"%1\" is larger than the file").arg(entry.name));
        return entry;
    }

    const QByteArray &mFile;
    int mSectorSize = kSectorSize;
    std::uint32_t mSectorCount = 0;
    std::uint32_t mMiniCutoff = kMiniStreamCutoff;
    std::vector<std::uint32_t> mFat;
};

} // namespace

std::vector<CompoundStream> readCompoundFile(const QByteArray &file) { return CompoundReader(file).read(); }

} // namespace orv::sheet::xls
