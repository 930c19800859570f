#include "preview/WorkbookCopy.h"

#include "files/Failure.h"
#include "files/FileAccess.h"

namespace orv::preview {

void copyFileReplacing(const QString &source, const QString &target)
{
    QByteArray bytes;
    try {
        bytes = sheet::readWholeFile(source, sheet::Links::Refuse);
    } catch (const Failure &failure) {
        const QString &said = failure.description();
        throw Failure(QStringLiteral("Cannot read %1: %2").arg(source, said.mid(said.lastIndexOf(QStringLiteral(": ")) + 2)));
    }
    sheet::replaceFile(bytes, target);
}

} // namespace orv::preview
