#include "preview/WorkbookCopy.h"

#include "files/Failure.h"
#include "files/FileAccess.h"

namespace orv::preview {

void copyFileReplacing(const QString &source, const QString &target)
{
    QByteArray bytes;
    try {
        bytes = files::readWholeFile(source, files::Links::Refuse);
    } catch (const Failure &failure) {
        const QString &said = failure.description();
        throw Failure(QStringLiteral("Cannot read %1: %2").arg(source, said.mid(said.lastIndexOf(QStringLiteral(": ")) + 2)));
    }
    files::replaceFile(bytes, target);
}

} // namespace orv::preview
