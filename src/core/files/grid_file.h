#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace marovi {
struct Model;
class TByteReader;
class TByteWriter;

// Told once per column while a grid file loads, with Round(x * 99 / XDim).
struct TLoadProgress {
    std::function<void(int percent)> OnProgress;
};

// The simulation grid file (.mgf): header, state definitions, flow grid, disturbance
// definitions, species and every cell with its individuals. Replaces any existing file
// only when the whole file was written.
void SaveGridFile(const Model& m, const std::string& path);
// Replaces the whole model by the file's content. The file is read into a fresh model that
// takes over only when everything was read and checked, so a failed load (marovi::Error
// naming the file and the problem) leaves m exactly as it was. FileName is the caller's.
void LoadGridFile(Model& m, const std::string& path, const TLoadProgress& progress = {});

// The same from and to memory (tests, fuzzing); name stands for the file in messages.
std::string GridFileBytes(const Model& m);
void LoadGridBytes(Model& m, std::string_view bytes, const std::string& name, const TLoadProgress& progress = {});

void WriteGridFile(TByteWriter& w, const Model& m);
void ReadGridFile(Model& m, TByteReader& r, const TLoadProgress& progress);

} // namespace marovi
