#pragma once
#include <string>

namespace marovi {
struct Model;

// The landscape view's caption after every redraw.
std::string ViewCaption(const Model& m);

// The name of a frame saved at the current time step: directory (prefixed verbatim) + stem
// + the six-digit time step + extension (".bmp" for auto snapshots, ".BMP" from the button,
// ".svg" for vector snapshots).
std::string SnapshotName(const std::string& directory, const std::string& stem, int timeStep, const char* extension);
// The scene file name of a frame; the scene export puts it into its directory itself.
std::string SceneName(const std::string& stem, int timeStep);

} // namespace marovi
