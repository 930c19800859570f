#include "preview/WorkbookCopy.h"

#include "sheet/FileAccess.h"

namespace orv::preview {

void copyFileReplacing(const QString &source, const QString &target)
{
    sheet::replaceFile(sheet::readWholeFile(source, sheet::Links::Refuse), target);
}

} // namespace orv::preview
