#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace orv::sheet::xls {

// One stream at the top level of a compound file.
struct CompoundStream {
    QString name;
    QByteArray data;
};

// A version 3 compound file (512-byte sectors, 64-byte mini sectors) holding
// the given streams under its root storage. The output depends only on the
// streams: no time stamps, no random class ids.
QByteArray writeCompoundFile(const std::vector<CompoundStream> &streams);

// The streams of a compound file, found anywhere in its directory. Throws a
// Failure describing what is wrong with a damaged file (not a compound file,
// truncated, chains that loop, sizes that disagree).
std::vector<CompoundStream> readCompoundFile(const QByteArray &file);

} // namespace orv::sheet::xls
