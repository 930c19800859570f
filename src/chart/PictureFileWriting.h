#pragma once

#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace orv::sheet {
class RangePicture;
}

namespace orv::chart {

// The picture file of a chart whose window paints the picture from the sheet
// itself: the file is painted, compressed and written on a worker thread
// while the window is already on screen, instead of keeping the user waiting
// for a file the window does not read. The sheet's picture is only read.
class PictureFileWriting {
public:
    static std::shared_ptr<PictureFileWriting> start(std::shared_ptr<sheet::RangePicture> picture, QString path);

    explicit PictureFileWriting(QString path);

    // Blocks until the file is written, or its writing has failed.
    void wait();
    // Whether the file was written (after wait()).
    bool written();
    // Deletes the file once it is written: at once if it already is.
    void deleteWhenWritten();

private:
    void write(const sheet::RangePicture &picture);

    const QString mPath;
    std::mutex mMutex;
    std::condition_variable mFinished;
    bool mDone = false;
    bool mWritten = false;
    bool mDeleteWhenWritten = false;
};

} // namespace orv::chart
