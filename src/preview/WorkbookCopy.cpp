#include "preview/WorkbookCopy.h"

#include "sheet/Failure.h"

#include <QFile>
#include <QSaveFile>

namespace orv::preview {

namespace {

constexpr qint64 kChunkSize = 64 * 1024;

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

} // namespace

void copyFileReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read"), source, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        fail(QStringLiteral("Cannot write"), target, out.errorString());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunkSize);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            fail(QStringLiteral("Cannot read"), source, in.errorString());
        if (out.write(chunk) != chunk.size())
            fail(QStringLiteral("Cannot write"), target, out.errorString());
    }
    if (!out.commit())
        fail(QStringLiteral("Cannot write"), target, out.errorString());
}

} // namespace orv::preview
