#pragma once

#include <QString>
#include <memory>

namespace orv::sheet {
class RangePicture;
}

namespace orv::chart {

class PictureFileWriting;

// The chart picture as the chart builder hands it to the preview: the file
// it was written to and, when the picture was made for a window in the same
// run, the sheet's picture itself, which paints any part of it at any scale,
// so that the preview need not decode the file it was just written to.
struct HandedPicture {
    QString path;
    // Null: the preview reads the file.
    std::shared_ptr<sheet::RangePicture> sheet;
    // Set when the file is still being written in the background (a preview
    // that paints from `sheet` does not wait for it).
    std::shared_ptr<PictureFileWriting> writing;
};

} // namespace orv::chart
