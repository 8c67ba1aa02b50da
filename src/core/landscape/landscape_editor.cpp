#include "landscape/landscape_editor.h"

#include "colours/map_image.h"
#include "landscape/landscape.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

TLandscapeEntries LandscapeEntriesOf(const Model& m)
{
    TLandscapeEntries e;
    e.XDim = std::to_string(m.XDim);
    e.YDim = std::to_string(m.YDim);
    e.HighCapacity = std::to_string(m.HighCapacity);
    e.LowCapacity = std::to_string(m.LowCapacity);
    e.HighProb = ShortestText(m.HighCapacityProb);
    e.LowProb = ShortestText(1 - m.HighCapacityProb);
    return e;
}

int32_t ConvertCapacity(std::string_view text)
{
    const int32_t capacity = ConvertInt(text);
    // A cell has 10 x 10 positions: more cannot be honoured, less than none means nothing.
    if (capacity < 0 || capacity > MaxCellCapacity)
        throw Error(Format("a cell holds 0 to %d individuals: %d is not a capacity", {MaxCellCapacity, capacity}));
    return capacity;
}

TGridSize ConvertGridSize(std::string_view xdim, std::string_view ydim)
{
    const TGridSize size{ConvertInt(xdim), ConvertInt(ydim)};
    if (size.XDim < 1 || size.YDim < 1)
        throw Error(Format("a landscape needs at least one cell in x and in y, not %d x %d", {size.XDim, size.YDim}));
    if (int64_t{size.XDim} * size.YDim > MaxLandscapeCells)
        throw Error(Format("a landscape of %d x %d cells is too large (at most %d cells)",
                           {size.XDim, size.YDim, static_cast<long long>(MaxLandscapeCells)}));
    return size;
}

TRgbImage CapacityImage(const Model& m)
{
    return MapImage(m, TDisplayMode::Capacity, false, TColourSettings{}, 0, 0, m.XMax, m.YMax);
}

} // namespace marovi
