#include "preview/LazyPreview.h"

#include "chart/PictureFileWriting.h"
#include "chart/template/ChartLayout.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"

#include <QApplication>

namespace orv::preview {

LazyPreview::LazyPreview(const Services &services, MainWindowLink &mainWindow)
    : mServices(services), mMainWindow(mainWindow)
{
}

LazyPreview::~LazyPreview()
{
    if (mWriting)
        mWriting->wait();
}

Form2 &LazyPreview::form()
{
    if (!mForm)
        mForm = std::make_unique<Form2>(mServices, mMainWindow);
    return *mForm;
}

// The sheet's picture the builder kept is painted from the sheet; without
// one there was no range to picture, and the preview shows none.
void LazyPreview::takePicture(const chart::HandedPicture &picture)
{
    if (!picture.sheet) {
        assignPicture(QImage());
        return;
    }
    mWriting = picture.writing;
    form().Picture1->setTiles(std::make_shared<PictureTiles>(picture.sheet));
    // The start and end dates, right of the names, stay in view with them.
    const int datesLeft = picture.sheet->columnLeft(chart::layout::kStartColumn - 1);
    form().setFrozenPanes(picture.sheet->frozenSize(),
                          {datesLeft, picture.sheet->columnLeft(chart::layout::kEndColumn) - datesLeft});
}

void LazyPreview::assignPicture(const QImage &picture, QSize frozen)
{
    form().Picture1->setPicture(picture);
    form().setFrozenPanes(frozen);
}

void LazyPreview::setCalendar(chart::CalendarScale scale, const QString &outside)
{
    form().showCalendar(scale, outside);
}

void LazyPreview::setExcelFile(const QString &path) { form().mExcelFile = path; }

// The preview takes the place of the window the user was working in.
void LazyPreview::show()
{
    const QWidget *active = QApplication::activeWindow();
    form().showInPlaceOf(active != mForm.get() ? active : nullptr);
}

void LazyPreview::planReplaced()
{
    if (mForm && mForm->isVisible())
        mForm->backToMainWindow();
}

} // namespace orv::preview
