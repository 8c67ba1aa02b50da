#pragma once
#include <string>

#include "files/status_list.h"

namespace marovi {
struct Model;

// "save individuals": a header, then every living individual with its species, age and
// position, cells column by column, individuals in list order.
void SaveIndividualList(const Model& m, const std::string& path, const TClock& clock = LocalDateTimeText);

// "extract species": a header, then for every species and every cell the adults and the
// larvae that reached the cell in the previous step, zero counts included.
void SaveSpeciesList(const Model& m, const std::string& path, const TClock& clock = LocalDateTimeText);

// The text of "%.Nd" for a value: at least `digits` digits, zero padded, sign in front.
void AppendPadded(std::string& out, long long value, int digits);

} // namespace marovi
