#pragma once
#include <string>

#include "files/byte_io.h"
#include "landscape/flow_grid.h"

namespace marovi {
struct Model;

// The binary flow grid block: XCount, YCount, then the cells x-major, 24 bytes each.
void WriteFlowGridBlock(TByteWriter& w, const TFlowGrid& g);
// Refuses an empty grid and counts the file cannot hold before it allocates anything.
TFlowGrid ReadFlowGridBlock(TByteReader& r);

// The flow grid file (.mfg): exactly one block. A failed load leaves the grid as it was.
void SaveFlowGrid(const TFlowGrid& g, const std::string& path);
void LoadFlowGrid(TFlowGrid& g, const std::string& path);

// The text flow grid definition file; fields are separated by the model's Separator and
// angles are compass bearings in degrees. A failed import leaves the grid as it was.
std::string FlowGridText(const Model& m);
void ExportFlowGridText(const Model& m, const std::string& path);
TFlowGrid ParseFlowGridText(const Model& m, std::string_view text, const std::string& name);
void ImportFlowGridText(Model& m, const std::string& path);

} // namespace marovi
