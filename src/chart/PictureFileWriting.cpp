#include "chart/PictureFileWriting.h"

#include "files/FileAccess.h"
#include "sheet/render/RangePicture.h"

#include <QFile>
#include <QThreadPool>
#include <exception>

namespace orv::chart {

std::shared_ptr<PictureFileWriting> PictureFileWriting::start(std::shared_ptr<sheet::RangePicture> picture,
                                                              QString path)
{
    auto writing = std::make_shared<PictureFileWriting>(std::move(path));
    QThreadPool::globalInstance()->start([writing, picture = std::move(picture)] { writing->write(*picture); });
    return writing;
}

PictureFileWriting::PictureFileWriting(QString path) : mPath(std::move(path)) {}

// As the picture export writes in the foreground: through a staged file, and
// a failure leaves no picture file behind. Only plain file calls here: the
// program's own file helpers run window events, which this thread has none of.
void PictureFileWriting::write(const sheet::RangePicture &picture)
{
    bool written = true;
    try {
        files::replaceFile(picture.encoded(), mPath, files::Durability::Scratch);
    } catch (const std::exception &) {
        // Failures and a lack of memory alike: nothing may escape a worker.
        QFile::remove(mPath);
        written = false;
    }
    std::lock_guard lock(mMutex);
    mDone = true;
    mWritten = written;
    if (mDeleteWhenWritten)
        QFile::remove(mPath);
    mFinished.notify_all();
}

void PictureFileWriting::wait()
{
    std::unique_lock lock(mMutex);
    mFinished.wait(lock, [this] { return mDone; });
}

bool PictureFileWriting::written()
{
    std::lock_guard lock(mMutex);
    return mWritten;
}

void PictureFileWriting::deleteWhenWritten()
{
    std::lock_guard lock(mMutex);
    mDeleteWhenWritten = true;
    if (mDone)
        QFile::remove(mPath);
}

} // namespace orv::chart
