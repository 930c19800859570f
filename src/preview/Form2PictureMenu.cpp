// The picture's context menu: the user's own copy of the chart picture, to
// the system clipboard or to a PNG file.
#include "app/AppTitle.h"
#include "app/FileExists.h"
#include "app/MessageBoxes.h"
#include "app/ReportingOperation.h"
#include "preview/Form2.h"
#include "preview/PictureBox.h"
#include "sheet/Failure.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QSaveFile>

namespace orv::preview {

namespace {

const QString kSaveTitle = QStringLiteral("Save File");
const QString kPictureFilter = QStringLiteral("PNG Pictures (*.png)|*.png|");

// A name typed without an extension gets the one the filter offers.
QString withPngSuffix(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path;
}

// Written to a temporary file that replaces `path` only once complete, so a
// failed save leaves an existing file as it was.
void writePng(const QImage &picture, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    QImageWriter writer(&file, "png");
    if (!writer.write(picture))
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, writer.errorString()));
    if (!file.commit())
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
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
    const bool hasPicture = !Zoom_Ori->picture().isNull();
    for (QAction *action : mPictureMenu->actions())
        action->setEnabled(hasPicture);
    mPictureMenu->popup(event->globalPos());
}

// The chart picture at its own size, whatever the zoom on screen.
void Form2::CopyPicture()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.CopyPicture "));
    op(100, [&] { QGuiApplication::clipboard()->setImage(Zoom_Ori->picture()); });
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
        op(104, [&] { writePng(Zoom_Ori->picture(), name); });
}

} // namespace orv::preview
