// The build-time tool that writes the chart template workbook (.xlt) to the
// file named by its one argument. The same program always writes the same
// bytes: the file holds no time stamp and no cached result of TODAY().

#include "chart/template/ChartTemplate.h"
#include "files/Failure.h"
#include "sheet/xls/XlsWriter.h"

#include <QSaveFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TEMPLATE.xlt\n", argv[0]);
        return 2;
    }
    try {
        const QByteArray bytes = orv::sheet::xls::writeXlsFile(orv::chart::buildChartTemplate());
        QSaveFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
            return 1;
        }
    } catch (const orv::Failure &failure) {
        std::fprintf(stderr, "cannot build the chart template: %s\n", qPrintable(failure.description()));
        return 1;
    }
    return 0;
}
