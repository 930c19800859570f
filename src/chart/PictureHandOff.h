#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace orv::chart {

// The chart picture the program last saved as a file, kept in memory for the
// preview window, so that the window need not decode the file it was just
// written to. Pictures are kept only while a window wants them (the batch
// mode has none); only the last one is kept, and only until it is taken.
class PictureHandOff {
public:
    static void keepPictures(bool keep);
    static bool keepsPictures();

    // Called right after `picture` was written to `path`.
    static void remember(const QString &path, const QImage &picture);
    // The picture saved at `path`, as long as the file there is still the
    // one written; nothing otherwise. Nothing is kept afterwards.
    static std::optional<QImage> take(const QString &path);
};

} // namespace orv::chart
