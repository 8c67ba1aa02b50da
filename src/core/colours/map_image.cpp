#include "colours/map_image.h"

#include <algorithm>

#include "model/model.h"
#include "util/error.h"

namespace marovi {

TRgbImage MapImage(const Model& m, TDisplayMode mode, bool larvae, const TColourSettings& settings, int x0, int y0,
                   int x1, int y1)
{
    if (!m.HasGrid()) throw Error("no grid to draw");
    x0 = std::clamp(x0, 0, m.XMax);
    x1 = std::clamp(x1, 0, m.XMax);
    y0 = std::clamp(y0, 0, m.YMax);
    y1 = std::clamp(y1, 0, m.YMax);
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    TRgbImage image;
    image.Width = x1 - x0 + 1;
    image.Height = y1 - y0 + 1;
    image.Pixels.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            image.Pixels[static_cast<size_t>(y1 - y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x - x0)] =
                CellColour(m, mode, larvae, x, y, settings);
    return image;
}

} // namespace marovi
