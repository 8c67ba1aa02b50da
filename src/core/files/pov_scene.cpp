#include "files/pov_scene.h"

#include <algorithm>
#include <filesystem>

#include "colours/hsl.h"
#include "files/safe_file.h"
#include "files/status_list.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

struct TScale {
    double sx, sz;
};

TScale SceneScale(const Model& m)
{
    if (m.XMax < 1 || m.YMax < 1) throw Error("can not export a scene of a grid one cell wide or high!");
    return {1000.0 / m.XMax, 1000.0 / m.YMax};
}

void LimitWindow(const Model& m, int& x0, int& y0, int& x1, int& y1)
{
    x0 = std::clamp(x0, 0, m.XMax);
    x1 = std::clamp(x1, 0, m.XMax);
    y0 = std::clamp(y0, 0, m.YMax);
    y1 = std::clamp(y1, 0, m.YMax);
}

std::vector<std::string> FileHead(const std::string& file, const std::string& desc, const std::string& dateTime)
{
    return {"// Persistence Of Vision Ray Tracer Scene Description File",
            "// File: " + file,
            "// Vers: 3.5",
            "// Desc: visualization of MAROVI grid files" + desc,
            "// file created " + dateTime,
            ""};
}

} // namespace

double SceneRadius(const Model& m, int species, int age, double sx)
{
    const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(species)];
    const double l = sp.NormalLifespan, mx = sp.MaxLifespan;
    double g = l > age ? age / l : age * 1.4 / mx;
    g = g + 0.05;
    return 2 * sx / 10 * g;
}

std::vector<std::string> SceneLines(const Model& m, int x0, int y0, int x1, int y1, const std::string& sceneFile,
                                    const std::string& dateTime)
{
    const TScale sc = SceneScale(m);
    LimitWindow(m, x0, y0, x1, y1);
    std::vector<std::string> lines = FileHead(sceneFile, "", dateTime);
    lines.insert(lines.end(), {"#include \"colors.inc\"", "#include \"MAROVIColors.inc\"", "#include \"MAROVI.inc\"",
                               "#include \"camdef.inc\"", "", "camera {", "    location CamPos", "    look_at  CamPoi ",
                               "}", ""});
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals) {
                const double px = (x + ind.PosX / 10.0) * sc.sx;
                const double pz = (y + ind.PosY / 10.0) * sc.sz;
                const double r = SceneRadius(m, ind.Species, ind.Age, sc.sx);
                const int shape = m.SpeciesPovShape[static_cast<size_t>(ind.Species)] + 1;
                lines.push_back(Format("Species%d (%f,%f,%f, %f, %f,%f,%f)", {shape, px, 0.0, pz, r, 0.0, 0.0, 0.0}));
            }
    return lines;
}

std::vector<std::string> CameraLines(const Model& m, int x0, int y0, int x1, int y1, const std::string& cameraFile,
                                     const std::string& dateTime)
{
    const TScale sc = SceneScale(m);
    LimitWindow(m, x0, y0, x1, y1);
    const double cx = (x0 + x1) / 2.0 * sc.sx, cz = (y0 + y1) / 2.0 * sc.sz;
    std::vector<std::string> lines = FileHead(cameraFile, ", Camera definition", dateTime);
    lines.insert(lines.end(), {"#include \"colors.inc\"", "background { color <0,0,0.2> }", "",
                               "light_source { <250, 1000, 250> color White}", "",
                               Format("#declare CamPos=<%5.2f,%5.2f,%5.2f>;", {cx, 3.0, cz}),
                               Format("#declare CamPoi=<%5.2f,%5.2f,%5.2f>;", {cx, 0.0, cz + 5}),
                               "#declare CamVec=vnormalize( CamPoi-CamPos);", "", "// end of camera definition"});
    return lines;
}

std::vector<std::string> ColorLines(const Model& m, const std::string& colorFile, const std::string& dateTime)
{
    std::vector<std::string> lines = FileHead(colorFile, ", Color definition", dateTime);
    for (int i = 1; i <= MaxSpecies; ++i) {
        const uint32_t c = m.SpeciesColor[static_cast<size_t>(i - 1)];
        lines.push_back(Format("#declare Species%dColor=<%f, %f, %f>;",
                               {i, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0}));
    }
    lines.push_back("");
    lines.push_back("// end of color def");
    return lines;
}

void WriteCamera(const Model& m, int x0, int y0, int x1, int y1, const std::string& fileName,
                 const std::string& dateTime)
{
    WriteTextLines(fileName, CameraLines(m, x0, y0, x1, y1, fileName, dateTime));
}

void WriteColors(const Model& m, const std::string& fileName, const std::string& dateTime)
{
    WriteTextLines(fileName, ColorLines(m, fileName, dateTime));
}

void WriteScene(const Model& m, int x0, int y0, int x1, int y1, const std::string& directory,
                const std::string& fileName)
{
    SceneScale(m);  // refuse before anything is written
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    const std::string dateTime = LocalDateTimeText();
    const std::string scene = dir + fileName;
    WriteTextLines(scene, SceneLines(m, x0, y0, x1, y1, scene, dateTime));
    WriteCamera(m, x0, y0, x1, y1, dir + "camdef.inc", dateTime);
    WriteColors(m, dir + "MAROVIColors.inc", dateTime);
}

void MakeSceneFolder(const std::string& directory)
{
    std::error_code error;
    if (directory.empty() || std::filesystem::is_directory(directory, error)) return;
    std::filesystem::create_directories(directory, error);
    if (error) throw Error("could not create the folder " + directory + ": " + error.message());
}

} // namespace marovi
