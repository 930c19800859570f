#include "preview/LazyPreview.h"

#include "preview/Form2.h"
#include "preview/PictureBox.h"

namespace orv::preview {

LazyPreview::LazyPreview(const Services &services, MainWindowLink &mainWindow)
    : mServices(services), mMainWindow(mainWindow)
{
}

LazyPreview::~LazyPreview() = default;

Form2 &LazyPreview::form()
{
    if (!mForm)
        mForm = std::make_unique<Form2>(mServices, mMainWindow);
    return *mForm;
}

void LazyPreview::assignPicture(const QImage &picture) { form().Picture1->setPicture(picture); }

void LazyPreview::setExcelFile(const QString &path) { form().mExcelFile = path; }

void LazyPreview::show() { form().show(); }

} // namespace orv::preview
