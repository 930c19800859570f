#pragma once

#include <QImage>
#include <QString>

namespace orv::chart {

// What the chart builder hands a finished chart to, in this order: the chart
// picture, the chart workbook's path, then the request to show the preview
// (not modal). The first touch loads the preview window, so its load runs
// before the picture arrives.
class ChartPreview {
public:
    virtual ~ChartPreview() = default;
    virtual void assignPicture(const QImage &picture) = 0;
    virtual void setExcelFile(const QString &path) = 0;
    virtual void show() = 0;
};

} // namespace orv::chart
