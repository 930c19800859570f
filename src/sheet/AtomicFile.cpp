#include "sheet/AtomicFile.h"

#include "sheet/Failure.h"

#include <QDir>
#include <QSaveFile>

namespace orv::sheet {

void writeFileAtomically(const QByteArray &bytes, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace orv::sheet
