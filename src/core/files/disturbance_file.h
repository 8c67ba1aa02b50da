#pragma once
#include <string>

#include "disturbance/disturbance_def.h"
#include "files/byte_io.h"

namespace marovi {
struct Model;

constexpr size_t DisturbanceRecordSize = 112;

// The 112-byte definition record shared by the definition file and the grid file.
void WriteDisturbanceRecord(TByteWriter& w, const TDisturbanceDef& d);
// Reads one record and appends it to the list through AddDisturbance.
void ReadDisturbanceRecord(TByteReader& r, Model& m, int number);

// The disturbance definition file (.mdf): the records of the list, nothing else.
void SaveDisturbances(const Model& m, const std::string& path);
// Appends the file's definitions to the list; on any failure the list stays as it was.
void LoadDisturbances(Model& m, const std::string& path);
void ReadDisturbances(Model& m, TByteReader& r);

} // namespace marovi
