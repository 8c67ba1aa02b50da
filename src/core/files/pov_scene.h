#pragma once
#include <string>
#include <vector>

namespace marovi {
struct Model;

// The POV-Ray 3.5 scene of the cells x0..x1, y0..y1 (limited to the grid): every individual
// a call of its species' macro, sized by age. The grid spans 0..1000 on x and z, so a grid
// one cell wide or high has no scale and is refused. Lines carry no line ends.
std::vector<std::string> SceneLines(const Model& m, int x0, int y0, int x1, int y1, const std::string& sceneFile,
                                    const std::string& dateTime);
std::vector<std::string> CameraLines(const Model& m, int x0, int y0, int x1, int y1, const std::string& cameraFile,
                                     const std::string& dateTime);
std::vector<std::string> ColorLines(const Model& m, const std::string& colorFile, const std::string& dateTime);

// The radius of an individual of the given age and species for the scale sx.
double SceneRadius(const Model& m, int species, int age, double sx);

// Writes the scene file directory/fileName and beside it "camdef.inc" and "MAROVIColors.inc"
// (a missing separator after a non-empty directory is added). The user's "MAROVI.inc" defines
// the macros Species1 .. Species51.
void WriteScene(const Model& m, int x0, int y0, int x1, int y1, const std::string& directory,
                const std::string& fileName);
// Makes a scene folder that does not exist yet, with the folders above it; one that can not be
// made is refused with the reason. An empty name stands for the current folder.
void MakeSceneFolder(const std::string& directory);
void WriteCamera(const Model& m, int x0, int y0, int x1, int y1, const std::string& fileName,
                 const std::string& dateTime);
void WriteColors(const Model& m, const std::string& fileName, const std::string& dateTime);

} // namespace marovi
