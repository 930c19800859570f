// The picture's context menu: the user's own copy of the chart picture, to
// the system clipboard or to a PNG file.
#include "app/AppTitle.h"
#include "app/FileExists.h"
#include "app/MessageBoxes.h"
#include "app/ReportingOperation.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"
#include "sheet/Failure.h"
#include "sheet/FileAccess.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMimeData>

namespace orv::preview {

namespace {

const QString kSaveTitle = QStringLiteral("Save File");
const QString kPictureFilter = QStringLiteral("PNG Pictures (*.png)|*.png|");

// A name typed without an extension gets the one the filter offers.
QString withPngSuffix(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path;
}

QByteArray pngOf(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw Failure(QStringLiteral("Cannot make a PNG picture: %1").arg(writer.errorString()));
    return png;
}

} // namespace

void Form2::Picture1_ContextMenu(QContextMenuEvent *event)
{
    if (mPictureMenu == nullptr) {
        mPictureMenu = new QMenu(this);
        mPictureMenu->addAction(QStringLiteral("Copy Picture"), this, &Form2::CopyPicture);
        mPictureMenu->addAction(QStringLiteral("Save Picture As…"), this, &Form2::SavePictureAs);
        mPictureMenu->addSeparator();
        mPictureMenu->addAction(QStringLiteral("Print..."), this, &Form2::PrintChart)->setShortcut(QKeySequence::Print);
        mPictureMenu->addAction(QStringLiteral("Export PDF..."), this, &Form2::ExportPdf)
            ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    }
    const bool hasPicture = !Zoom_Ori->picture().isNull() || Zoom_Ori->tiles();
    for (QAction *action : mPictureMenu->actions())
        action->setEnabled(hasPicture);
    mPictureMenu->popup(event->globalPos());
}

// The chart picture at its own size, whatever the zoom on screen. A picture
// painted from the sheet goes as a PNG file's bytes: a few megabytes, where
// the picture itself would take hundreds.
void Form2::CopyPicture()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.CopyPicture "));
    op(100, [&] {
        if (!Zoom_Ori->tiles()) {
            QGuiApplication::clipboard()->setImage(Zoom_Ori->picture());
            return;
        }
        auto *data = new QMimeData;
        data->setData(QStringLiteral("image/png"), Zoom_Ori->tiles()->picture().encoded());
        QGuiApplication::clipboard()->setMimeData(data);
    });
}

void Form2::SavePictureAs()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.SavePictureAs "));
    QString name;
    op(100, [&] { name = mServices.saveDialog->askSavePath(kSaveTitle, kPictureFilter); });
    if (name.isEmpty())
        return;
    name = withPngSuffix(name);
    MessageAnswer answer = MessageAnswer::Yes;
    op(102, [&] {
        if (FileExists(name))
            answer = mServices.messages->show(QStringLiteral("Are you sure you wish to overwrite ") + name +
                                                  QStringLiteral(" ?"),
                                              appTitle(), MessageButtons::YesNo,
                                              MessageIcon::None);
    });
    if (answer == MessageAnswer::Yes)
        op(104, [&] {
            // Replaces the file only once the whole picture is encoded and
            // written, so a failed save leaves an existing file as it was.
            sheet::replaceFile(Zoom_Ori->tiles() ? Zoom_Ori->tiles()->picture().encoded() : pngOf(Zoom_Ori->picture()), name);
        });
}

} // namespace orv::preview
