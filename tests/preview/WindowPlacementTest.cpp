#include "preview/WindowPlacement.h"

#include <gtest/gtest.h>

namespace orv::preview {
namespace {

struct PlacementCase {
    QSize size;
    QRect anchor;
    QRect available;
    QPoint position;
};

class WindowPlacementCentres : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacementCentres, OverTheAnchorAndInsideTheScreen)
{
    const PlacementCase &c = GetParam();
    EXPECT_EQ(centredPosition(c.size, c.anchor, c.available), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowPlacementCentres,
    ::testing::Values(
        // the preview over the main window
        PlacementCase{{656, 624}, {300, 200, 616, 426}, {0, 0, 1920, 1050}, {280, 101}},
        // on the whole screen
        PlacementCase{{656, 624}, {0, 0, 1920, 1050}, {0, 0, 1920, 1050}, {632, 213}},
        // a main window near the bottom-left corner: moved up and right into the screen
        PlacementCase{{656, 624}, {-100, 800, 616, 426}, {0, 0, 1920, 1050}, {0, 426}},
        // a screen smaller than the window keeps the top-left corner on it
        PlacementCase{{656, 624}, {0, 0, 640, 480}, {0, 0, 640, 480}, {0, 0}},
        // a second screen to the right
        PlacementCase{{656, 624}, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, {2232, 200}},
        // no screen known: centred only
        PlacementCase{{600, 400}, {100, 100, 200, 200}, QRect(), {-100, 0}}));

} // namespace
} // namespace orv::preview
