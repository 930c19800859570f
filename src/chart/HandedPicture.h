#pragma once

#include <QString>
#include <memory>

namespace orv::sheet {
class RangePicture;
}

namespace orv::chart {

// The chart picture as the chart builder hands it to the preview: the file
// it was written to and, when the picture was made for a window in the same
// run, the sheet's picture itself, which paints any part of it at any scale,
// so that the preview need not decode the file it was just written to.
struct HandedPicture {
    QString path;
    // Null: the preview reads the file.
    std::shared_ptr<sheet::RangePicture> sheet;
};

} // namespace orv::chart
