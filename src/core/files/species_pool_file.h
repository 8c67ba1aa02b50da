#pragma once
#include <string>
#include <string_view>

namespace marovi {
struct Model;
class TByteReader;

// The species pool file (.msd): "V 1.20" and the 496-byte records, no count field.
void SaveSpeciesPool(const Model& m, const std::string& path);
// Replaces the pool by the file's species and sets their growth functions. A missing,
// short or damaged file fails with marovi::Error and leaves the pool as it was.
void LoadSpeciesPool(Model& m, const std::string& path);
std::string SpeciesPoolBytes(const Model& m);
void ReadSpeciesPool(Model& m, TByteReader& r);

} // namespace marovi
