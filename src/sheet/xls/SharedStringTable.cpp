#include "sheet/xls/SharedStringTable.h"

namespace orv::sheet::xls {

int SharedStringTable::add(const QString &text)
{
    ++mUses;
    const auto found = mIndex.constFind(text);
    if (found != mIndex.constEnd())
        return found.value();
    mIndex.insert(text, static_cast<int>(mStrings.size()));
    mStrings.push_back(text);
    return static_cast<int>(mStrings.size()) - 1;
}

void SharedStringTable::write(RecordWriter &out) const
{
    constexpr int kStringsPerBucket = 8;
    std::vector<std::pair<qsizetype, qsizetype>> buckets;
    out.begin(rec::Sst);
    ByteWriter counts;
    counts.u32(static_cast<std::uint32_t>(mUses));
    counts.u32(static_cast<std::uint32_t>(mStrings.size()));
    out.atomic(counts.bytes());
    for (size_t i = 0; i < mStrings.size(); ++i) {
        if (i % kStringsPerBucket == 0) {
            // The bucket entry points at the string's header, which
            // stays in one record with its first character.
            constexpr int kHeaderAndOneCharacter = 5;
            out.reserve(kHeaderAndOneCharacter);
            buckets.push_back({out.position(), out.offsetInRecord()});
        }
        out.unicodeString(mStrings[i]);
    }
    out.end();
    ByteWriter ext;
    ext.u16(kStringsPerBucket);
    for (const auto &[position, offset] : buckets) {
        ext.u32(static_cast<std::uint32_t>(position));
        ext.u16(static_cast<unsigned>(offset));
        ext.u16(0);
    }
    out.record(rec::ExtSst, ext);
}

} // namespace orv::sheet::xls
