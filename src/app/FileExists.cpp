#include "app/FileExists.h"

#include <QFileInfo>

namespace orv {

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).lastModified().isValid();
}

} // namespace orv
