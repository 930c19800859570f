#pragma once

#include "chart/HandedPicture.h"
#include "chart/template/CalendarScale.h"

#include <QString>
#include <memory>

namespace orv::sheet {
class Workbook;
}

namespace orv::chart {

// What the chart builder hands a finished chart to, in this order: the chart
// picture, the chart workbook's path, then the request to show
// the preview (not modal). The first touch loads the preview window, so its
// load runs before the picture arrives.
class ChartPreview {
public:
    virtual ~ChartPreview() = default;
    // The picture the builder has just written, with what it kept of it.
    virtual void takePicture(const HandedPicture &picture) = 0;
    virtual void setExcelFile(const QString &path) = 0;
    // The chart workbook as the build holds it, the same as its file: for
    // outputs made from it without reading the file again.
    virtual void takeWorkbook(std::shared_ptr<const sheet::Workbook> /*workbook*/) {}
    virtual void show() = 0;
    // False when nobody will look at a picture: the builder then makes none
    // and loads none.
    virtual bool wantsPicture() const { return true; }
    // True when takePicture paints from the handed sheet and never reads the
    // file: the builder then writes the file in the background.
    virtual bool paintsFromSheet() const { return false; }
    // The lists the chart was built from were replaced by another plan.
    virtual void planReplaced() {}
    // The chart's calendar scale, and what of the plan its calendar leaves
    // out as a line of its own (empty when the calendar shows it all).
    virtual void setCalendar(CalendarScale /*scale*/, const QString & /*outside*/) {}
};

} // namespace orv::chart
