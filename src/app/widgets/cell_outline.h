#pragma once

namespace marovi::app {

// How a cell's outline shows at that many pixels a cell: not below 2; faint below 4, where it
// would hide much of the cell's colour; full from 4.
enum class TCellOutline { None, Faint, Full };
inline TCellOutline CellOutline(double cellPixels)
{
    return cellPixels < 2 ? TCellOutline::None : cellPixels < 4 ? TCellOutline::Faint : TCellOutline::Full;
}

} // namespace marovi::app
