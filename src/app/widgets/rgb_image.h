#pragma once
#include <QImage>

namespace marovi {
struct TRgbImage;
}

namespace marovi::app {

// An opaque image of the picture, row 0 at the top.
QImage ToQImage(const TRgbImage& image);

} // namespace marovi::app
