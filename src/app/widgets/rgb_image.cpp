#include "widgets/rgb_image.h"

#include "files/bmp.h"

namespace marovi::app {

QImage ToQImage(const TRgbImage& image)
{
    QImage result(image.Width, image.Height, QImage::Format_RGB32);
    for (int row = 0; row < image.Height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(row));
        for (int col = 0; col < image.Width; ++col)
            line[col] = 0xFF000000u | image.Pixels[static_cast<size_t>(row) * static_cast<size_t>(image.Width) + static_cast<size_t>(col)];
    }
    return result;
}

} // namespace marovi::app
