// Writes the seed corpora under fuzz/corpus/<target>/: small valid files of every format
// version and a few damaged ones. Run from the repository root after a change of a format:
//   build-fuzz/fuzz/make_seeds fuzz/corpus
#include <filesystem>
#include <fstream>
#include <string>

#include "checks.h"
#include "files/bmp.h"
#include "files/species_record.h"
#include "model/status_line.h"
#include "model/step.h"

namespace {

using namespace marovi;
namespace fs = std::filesystem;

fs::path root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(root / target);
    std::ofstream(root / target / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An older grid file: format letter, and without the blocks its letter does not have.
std::string OlderGridFile(const std::string& j, char letter)
{
    std::string b = j;
    b[528] = letter;
    const size_t flowCells = static_cast<size_t>(static_cast<uint8_t>(j[1088])) * static_cast<uint8_t>(j[1092]);
    if (letter <= 'C') b.erase(1088, 8 + 24 * flowCells);
    if (letter <= 'B') b.erase(608, 480);
    return b;
}

std::string Le(uint32_t v, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}

// A bitmap of `bits` per pixel with a 40-byte header (and bit fields when masks are given),
// its palette and its rows as given.
std::string Bitmap(int width, int height, int bits, uint32_t compression, const std::string& extra, const std::string& rows)
{
    const std::string info = Le(40, 4) + Le(static_cast<uint32_t>(width), 4) + Le(static_cast<uint32_t>(height), 4) + Le(1, 2) +
                             Le(static_cast<uint32_t>(bits), 2) + Le(compression, 4) + Le(static_cast<uint32_t>(rows.size()), 4) +
                             Le(2835, 4) + Le(2835, 4) + Le(bits <= 8 ? static_cast<uint32_t>(extra.size() / 4) : 0, 4) + Le(0, 4);
    const uint32_t offset = static_cast<uint32_t>(14 + info.size() + extra.size());
    return "BM" + Le(offset + static_cast<uint32_t>(rows.size()), 4) + Le(0, 4) + Le(offset, 4) + info + extra + rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    root = argv[1];
    Model m = fuzz_checks::Current();
    for (int i = 0; i < 3; ++i) SimulationStep(m);
    AddDisturbance(m, 0, 1, 2, 0, true, 1.5, 0.5, 2.5, 0.5, 0.5, 0.75, 1.0, 0.5, 3, 2);
    m.SpeciesPool[1].GrowthModel = 1;
    m.SpeciesPool[2].Color = 0x00FF00;

    const std::string grid = GridFileBytes(m);
    Seed("grid_file", "valid_J.mgf", grid);
    Seed("grid_file", "valid_G.mgf", OlderGridFile(grid, 'G'));
    Seed("grid_file", "valid_C.mgf", OlderGridFile(grid, 'C'));
    Seed("grid_file", "valid_B.mgf", OlderGridFile(grid, 'B'));
    Seed("grid_file", "truncated.mgf", grid.substr(0, grid.size() - 40));
    std::string twice = grid;
    twice[grid.size() - 8] = twice[grid.size() - 40];
    Seed("grid_file", "damaged_position.mgf", twice);
    Seed("grid_file", "wrong_version.mgf", std::string(grid).replace(16, 6, "V 1.19"));

    const std::string pool = SpeciesPoolBytes(m);
    Seed("species_pool", "valid.msd", pool);
    Seed("species_pool", "one.msd", pool.substr(0, 6 + SpeciesRecordSize));
    Seed("species_pool", "partial.msd", pool.substr(0, 6 + SpeciesRecordSize + 100));

    const std::string defs = fuzz_checks::DisturbanceBytes(m);
    Seed("disturbances", "valid.mdf", defs);
    Seed("disturbances", "partial.mdf", defs.substr(0, 150));

    const std::string flow = fuzz_checks::FlowBytes(m.FlowGrid);
    Seed("flow_grid", "valid.mfg", flow);
    Seed("flow_grid", "one_cell.mfg", fuzz_checks::FlowBytes(Model().FlowGrid));
    Seed("flow_grid", "short.mfg", flow.substr(0, 20));

    Seed("flow_text", "valid.txt", FlowGridText(m));
    Seed("flow_text", "comments.txt", "# c\n2\n# c\n1\n   1;   0; 90.0; 10.0; 2.50\r\nbad line\n");

    Seed("state_defs", "default.mtd", fuzz_checks::StateBytes(m.StateDefs));
    Seed("state_defs", "short.mtd", fuzz_checks::StateBytes(m.StateDefs).substr(0, 100));

    std::string companion = "# time" + std::string(1, m.Separator) + StatusHeader(m) + "\r\n";
    for (int t = 3; t >= 1; --t) {
        m.TimeStep = t;
        companion = "2000-01-01 00:00:00; " + StatusLine(m) + "\r\n" + companion;
    }
    Seed("status_list", "valid.TXT", companion);
    Seed("status_list", "broken.TXT", companion.substr(0, companion.size() / 2) + "\nx;y;z\n");

    Seed("grey_image", "small.bin", std::string("\x0a\x0a\x0a\x00\x00\x00\x05\x00\x00\x00\x04\x04", 12) +
                                        std::string(48, '\x80') + "\xff\xff\xff\x00\x00\x00");
    Seed("grey_image", "extremes.bin", std::string("\x27\x27\xff\xff\xff\x7f\x00\x00\x00\x80\x30\x20", 12) + std::string(60, '\x10'));

    TRgbImage picture{3, 2, {0x000000, 0x808080, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF}};
    Seed("bmp", "rgb24.bmp", BmpBytes(picture));
    // Two colours, one bit per pixel, rows top-down (negative height).
    Seed("bmp", "palette1.bmp", Bitmap(5, -2, 1, 0, Le(0, 4) + Le(0xFFFFFF, 4), std::string("\xa8\0\0\0\x50\0\0\0", 8)));
    Seed("bmp", "palette8.bmp", Bitmap(2, 2, 8, 0, Le(0x101010, 4) + Le(0xC0C0C0, 4), std::string("\0\1\0\0\1\0\0\0", 8)));
    // 32 bits with an alpha mask: transparent pixels read as white.
    Seed("bmp", "alpha32.bmp", Bitmap(2, 1, 32, 6, Le(0xFF0000, 4) + Le(0xFF00, 4) + Le(0xFF, 4) + Le(0xFF000000, 4),
                                      Le(0xFF000000, 4) + Le(0x00000000, 4)));
    Seed("bmp", "truncated.bmp", BmpBytes(picture).substr(0, 60));

    Seed("cell_matrix", "capacity.txt", "# capacity\r\n10 5 10\r\n5 5 10\r\n");
    Seed("cell_matrix", "ragged.txt", "1,2,3\n4 5\n");
    return 0;
}
