#pragma once
#include <string>
#include <string_view>

namespace marovi {
struct Model;
class TByteReader;

// The species pool file (.msd): "V 1.20" and the 496-byte records, no count field.
void SaveSpeciesPool(const Model& m, const std::string& path);
// Replaces the pool by the file's species and sets their growth functions. A missing,
// short or damaged file fails with marovi::Error and leaves the pool as it was. A smaller
// pool removes the individuals of the indices it no longer holds (and their larvae and
// counts); returns how many individuals went.
int LoadSpeciesPool(Model& m, const std::string& path);
std::string SpeciesPoolBytes(const Model& m);
int ReadSpeciesPool(Model& m, TByteReader& r);

} // namespace marovi
