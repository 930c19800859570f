#include "preview/LazyPreview.h"

#include "chart/PictureHandOff.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "sheet/render/SheetPicture.h"

#include <QApplication>

namespace orv::preview {

LazyPreview::LazyPreview(const Services &services, MainWindowLink &mainWindow)
    : mServices(services), mMainWindow(mainWindow)
{
    chart::PictureHandOff::keepPictures(true);
}

LazyPreview::~LazyPreview() { chart::PictureHandOff::keepPictures(false); }

Form2 &LazyPreview::form()
{
    if (!mForm)
        mForm = std::make_unique<Form2>(mServices, mMainWindow);
    return *mForm;
}

// The picture the builder has just written to `path` is taken from memory;
// any other file is decoded.
void LazyPreview::loadPicture(const QString &path)
{
    const std::optional<QImage> kept = chart::PictureHandOff::take(path);
    assignPicture(kept ? *kept : sheet::readPicture(path));
}

void LazyPreview::assignPicture(const QImage &picture) { form().Picture1->setPicture(picture); }

void LazyPreview::setExcelFile(const QString &path) { form().mExcelFile = path; }

// The preview takes the place of the window the user was working in.
void LazyPreview::show()
{
    const QWidget *active = QApplication::activeWindow();
    const bool overMainWindow = active != nullptr && active != mForm.get();
    form().showCentredOver(overMainWindow ? active->frameGeometry() : QRect());
}

} // namespace orv::preview
