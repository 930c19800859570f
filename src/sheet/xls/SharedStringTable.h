#pragma once

#include "sheet/xls/BiffRecords.h"

#include <QHash>
#include <QString>
#include <vector>

namespace orv::sheet::xls {

// The texts of the workbook's text cells, numbered in order of first use,
// written as the SST record with its index EXTSST.
class SharedStringTable {
public:
    int add(const QString &text);
    int index(const QString &text) const { return mIndex.value(text); }
    // The writer's position must be the stream offset.
    void write(RecordWriter &out) const;

private:
    QHash<QString, int> mIndex;
    std::vector<QString> mStrings;
    long long mUses = 0;
};

} // namespace orv::sheet::xls
