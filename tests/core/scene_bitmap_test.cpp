#include <gtest/gtest.h>

#include <filesystem>

#include "analysis_test_util.h"
#include "colours/species_colors.h"
#include "files/bmp.h"
#include "files/pov_scene.h"
#include "files_test_util.h"
#include "text_test_util.h"
#include "util/error.h"

using namespace marovi;
using testing_util::MakeModel;
namespace fs = std::filesystem;

namespace {

void PutAt(Model& m, int x, int y, int species, int age, int px, int py)
{
    TIndividual ind;
    ind.Species = species;
    ind.Age = age;
    ind.Size = 0.5;
    ind.PosX = static_cast<int8_t>(px);
    ind.PosY = static_cast<int8_t>(py);
    m.Cell(x, y).Individuals.push_back(ind);
}

class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeModel(m, 2, 3, 3);
        InitSpeciesColors(m);
        PutAt(m, 0, 0, 0, 15, 3, 7);
        PutAt(m, 0, 0, 0, 40, 9, 9);
        PutAt(m, 1, 2, 1, 0, 0, 0);
        dir = fs::temp_directory_path() /
              ("marovi_scene_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    Model m;
    fs::path dir;
};

} // namespace

TEST_F(Scene, SceneLinesAndRadii)
{
    const std::vector<std::string> lines = SceneLines(m, 0, 0, 2, 2, "out/s.pov", "24.12.2023 18:00:00");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "// Persistence Of Vision Ray Tracer Scene Description File",
                         "// File: out/s.pov",
                         "// Vers: 3.5",
                         "// Desc: visualization of MAROVI grid files",
                         "// file created 24.12.2023 18:00:00",
                         "",
                         "#include \"colors.inc\"",
                         "#include \"MAROVIColors.inc\"",
                         "#include \"MAROVI.inc\"",
                         "#include \"camdef.inc\"",
                         "",
                         "camera {",
                         "    location CamPos",
                         "    look_at  CamPoi ",
                         "}",
                         "",
                         // age 15 below the normal lifespan 30: g = 0.5 + 0.05, r = 2 x 500 / 10 x g
                         "Species1 (150.00,0.00,350.00, 55.00, 0.00,0.00,0.00)",
                         // age 40: g = 40 x 1.4 / 150 + 0.05
                         "Species1 (450.00,0.00,450.00, 42.33, 0.00,0.00,0.00)",
                         "Species2 (500.00,0.00,1000.00, 5.00, 0.00,0.00,0.00)",
                     }));
    EXPECT_DOUBLE_EQ(SceneRadius(m, 1, 0, 500), 2 * 500.0 / 10 * 0.05);
    // Only the window's cells.
    EXPECT_EQ(SceneLines(m, 1, 1, 2, 2, "s", "d").size(), 17u);
}

TEST_F(Scene, CameraAndColourFiles)
{
    const std::vector<std::string> camera = CameraLines(m, 0, 1, 1, 2, "camdef.inc", "now");
    EXPECT_EQ(camera, (std::vector<std::string>{
                          "// Persistence Of Vision Ray Tracer Scene Description File",
                          "// File: camdef.inc",
                          "// Vers: 3.5",
                          "// Desc: visualization of MAROVI grid files, Camera definition",
                          "// file created now",
                          "",
                          "#include \"colors.inc\"",
                          "background { color <0,0,0.2> }",
                          "",
                          "light_source { <250, 1000, 250> color White}",
                          "",
                          "#declare CamPos=<250.00, 3.00,750.00>;",
                          "#declare CamPoi=<250.00, 0.00,755.00>;",
                          "#declare CamVec=vnormalize( CamPoi-CamPos);",
                          "",
                          "// end of camera definition",
                      }));
    m.SpeciesColor[50] = 0x336699;
    const std::vector<std::string> colours = ColorLines(m, "c.inc", "now");
    ASSERT_EQ(colours.size(), 6u + 51u + 2u);
    EXPECT_EQ(colours[3], "// Desc: visualization of MAROVI grid files, Color definition");
    EXPECT_EQ(colours[6], "#declare Species1Color=<1.00, 0.00, 0.00>;");
    EXPECT_EQ(colours[8], "#declare Species3Color=<0.00, 0.00, 0.00>;");  // a slot without species
    EXPECT_EQ(colours[56], "#declare Species51Color=<0.20, 0.40, 0.60>;");
    EXPECT_EQ(colours[57], "");
    EXPECT_EQ(colours[58], "// end of color def");
}

TEST_F(Scene, WritesThreeFilesWithCrLf)
{
    WriteScene(m, 0, 0, 2, 2, dir.string(), "scene.pov");
    const std::vector<std::string> scene = text_test::CrlfLines((dir / "scene.pov").string());
    ASSERT_EQ(scene.size(), 19u);
    EXPECT_EQ(scene[1], "// File: " + (dir / "scene.pov").string());
    EXPECT_EQ(scene[4].size(), 16u + 19u);  // "yyyy-mm-dd hh:nn:ss"
    EXPECT_EQ(text_test::CrlfLines((dir / "camdef.inc").string()).size(), 16u);
    EXPECT_EQ(text_test::CrlfLines((dir / "MAROVIColors.inc").string()).size(), 59u);

    // A directory that already ends with the separator is used as it is.
    WriteScene(m, 0, 0, 0, 0, dir.string() + "/", "b.pov");
    EXPECT_EQ(text_test::CrlfLines((dir / "b.pov").string())[1], "// File: " + dir.string() + "/b.pov");
    EXPECT_THROW(WriteScene(m, 0, 0, 2, 2, (dir / "missing").string(), "x.pov"), Error);
}

TEST_F(Scene, GridOneCellWideOrHighIsRefused)
{
    for (auto [w, h] : {std::pair{1, 5}, std::pair{5, 1}}) {
        Model thin;
        MakeModel(thin, 2, w, h);
        try {
            WriteScene(thin, 0, 0, 0, 0, dir.string(), "thin.pov");
            ADD_FAILURE() << "a scene of a " << w << " x " << h << " grid was written";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "can not export a scene of a grid one cell wide or high!");
        }
        EXPECT_FALSE(fs::exists(dir / "thin.pov"));
        EXPECT_THROW(CameraLines(thin, 0, 0, 0, 0, "c", "d"), Error);
    }
}

TEST(Bitmap, BytesOfATwoByTwoPicture)
{
    TRgbImage img{2, 2, {0x112233, 0x445566, 0x778899, 0xAABBCC}};
    const std::string b = BmpBytes(img);
    ASSERT_EQ(b.size(), 70u);
    const std::string header("BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\x10\0\0\0"
                             "\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0",
                             54);
    EXPECT_EQ(b.substr(0, 54), header);
    // The bottom row first, blue green red, each row padded to 8 bytes.
    EXPECT_EQ(b.substr(54), std::string("\x99\x88\x77\xCC\xBB\xAA\0\0\x33\x22\x11\x66\x55\x44\0\0", 16));
    EXPECT_THROW(BmpBytes(TRgbImage{0, 0, {}}), Error);
    EXPECT_THROW(BmpBytes(TRgbImage{2, 2, {1, 2, 3}}), Error);
    TRgbImage wide{4, 1, {0, 0, 0, 0xFFFFFF}};
    EXPECT_EQ(BmpBytes(wide).size(), 54u + 12u);  // 12 bytes need no padding
}
