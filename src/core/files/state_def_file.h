#pragma once
#include <string>

#include "analysis/state_def.h"
#include "files/byte_io.h"

namespace marovi {

constexpr size_t StateDefBlockSize = 480; // 4 states x 5 criteria x 24 bytes

// The state definition table as stored in the grid file and in state definition files.
void WriteStateDefBlock(TByteWriter& w, const TStateDef& defs);
TStateDef ReadStateDefBlock(TByteReader& r);

// The state definition file (.mtd): the 480-byte table and nothing else. A failed load
// leaves the table as it was.
void SaveStateDefs(const TStateDef& defs, const std::string& path);
void LoadStateDefs(TStateDef& defs, const std::string& path);

} // namespace marovi
