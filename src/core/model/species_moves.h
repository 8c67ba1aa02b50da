#pragma once
#include <cstddef>
#include <utility>
#include <vector>

#include "model/types.h"

namespace marovi {

// Every index below count stays where it is, the others leave.
inline TSpeciesMoves KeptSpecies(int count)
{
    TSpeciesMoves moves;
    for (int s = 0; s < MaxSpecies; ++s) moves[static_cast<size_t>(s)] = s < count ? s : -1;
    return moves;
}

// Where species i went (-1: deleted, or i is no species).
inline int MovedTo(const TSpeciesMoves& moves, int i) { return i >= 0 && i < MaxSpecies ? moves[static_cast<size_t>(i)] : -1; }

// Things kept per species (a window's curves, the fields of a status line) after an edit of
// the pool: items[i] goes to index moves[i] or is dropped for -1; the result has `count`
// entries, those that received nothing are `fresh`.
template <class T>
std::vector<T> MovedBySpecies(std::vector<T> items, const TSpeciesMoves& moves, size_t count, const T& fresh = T{})
{
    std::vector<T> moved(count, fresh);
    for (size_t i = 0; i < items.size() && i < moves.size(); ++i)
        if (moves[i] >= 0 && static_cast<size_t>(moves[i]) < count) moved[static_cast<size_t>(moves[i])] = std::move(items[i]);
    return moved;
}

// The edit left every species where it was (it may have added some at the end).
inline bool KeepsEverySpecies(const TSpeciesMoves& moves, size_t count)
{
    for (size_t i = 0; i < count && i < moves.size(); ++i)
        if (moves[i] != static_cast<int32_t>(i)) return false;
    return true;
}

} // namespace marovi
