#pragma once

#include "app/Services.h"
#include "chart/ChartPreview.h"

#include <QImage>
#include <memory>

namespace orv::preview {

class Form2;
class MainWindowLink;

// The chart builder's way to the preview: the window is created, and so
// loaded, on the first touch, and the one instance serves every later chart.
class LazyPreview : public chart::ChartPreview {
public:
    LazyPreview(const Services &services, MainWindowLink &mainWindow);
    ~LazyPreview() override;

    void takePicture(const chart::HandedPicture &picture) override;
    // The picture and the size of the sheet's frozen panes in it (pixels).
    void assignPicture(const QImage &picture, QSize frozen = {});
    void setExcelFile(const QString &path) override;
    void show() override;
    bool paintsFromSheet() const override { return true; }
    // A chart on show goes, as with "< Back": it is of a plan that is gone.
    void planReplaced() override;
    void setCalendar(chart::CalendarScale scale, const QString &outside) override;

    // The window, or null while no chart has been handed over yet.
    Form2 *loaded() const { return mForm.get(); }

private:
    Form2 &form();

    const Services &mServices;
    MainWindowLink &mMainWindow;
    std::unique_ptr<Form2> mForm;
    // The last picture file still being written: waited for at the end, so
    // that no writing outlives the program's fonts and files.
    std::shared_ptr<chart::PictureFileWriting> mWriting;
};

} // namespace orv::preview
