#include "preview/DocumentName.h"

#include <QFileInfo>

namespace orv::preview {

// The date in ISO form: a file named after the document needs no slashes.
QString chartDocumentName(const QString &savedAs, QDate today)
{
    const QString saved = QFileInfo(savedAs).completeBaseName();
    if (!saved.isEmpty())
        return saved;
    return QStringLiteral("Gantt chart %1").arg(today.toString(Qt::ISODate));
}

} // namespace orv::preview
