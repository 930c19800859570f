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
#include "files/Failure.h"
#include "files/FileAccess.h"

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
        mPictureMenu->addSeparator();
        mLegendAction = mPictureMenu->addAction(QStringLiteral("Colour Legend"), this, &Form2::showLegend);
        mLegendAction->setCheckable(true);
    }
    const bool hasPicture = !Zoom_Ori->picture().isNull() || Zoom_Ori->tiles();
    for (QAction *action : mPictureMenu->actions())
        action->setEnabled(hasPicture || action == mLegendAction);
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

// Steps 100 and 102 of the menu's and the window's saves: the name the user
// picks (a name typed without an extension gets `suffix`, the one the filter
// offers), or an empty name when the user cancels or will not overwrite.
QString Form2::askFileToWrite(ReportingOperation &op, const QString &title, const QString &filter,
                              const QString &suffix)
{
    QString name;
    op(100, [&] { name = mServices.saveDialog->askSavePath(title, filter); });
    if (name.isEmpty())
        return {};
    if (QFileInfo(name).suffix().isEmpty())
        name += suffix;
    MessageAnswer answer = MessageAnswer::Yes;
    op(102, [&] {
        if (FileExists(name))
            answer = mServices.messages->show(QStringLiteral("Are you sure you wish to overwrite ") + name +
                                                  QStringLiteral(" ?"),
                                              appTitle(), MessageButtons::YesNo, MessageIcon::None);
    });
    return answer == MessageAnswer::Yes ? name : QString();
}

void Form2::SavePictureAs()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.SavePictureAs "));
    const QString name = askFileToWrite(op, kSaveTitle, kPictureFilter, QStringLiteral(".png"));
    if (!name.isEmpty())
        op(104, [&] {
            // Replaces the file only once the whole picture is encoded and
            // written, so a failed save leaves an existing file as it was.
            files::replaceFile(Zoom_Ori->tiles() ? Zoom_Ori->tiles()->picture().encoded() : pngOf(Zoom_Ori->picture()), name);
        });
}

} // namespace orv::preview
