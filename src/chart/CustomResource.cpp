#include "chart/CustomResource.h"

#include "files/Failure.h"

#include <QFile>

namespace orv::chart {

QByteArray loadCustomResource(int number)
{
    QFile resource(QStringLiteral(":/custom/%1").arg(number));
    if (!resource.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The program has no resource CUSTOM %1").arg(number));
    return resource.readAll();
}

} // namespace orv::chart
