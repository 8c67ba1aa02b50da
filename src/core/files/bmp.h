#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace marovi {

// An RGB picture, row 0 at the top, each pixel 0x00RRGGBB.
struct TRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // Pixels[row * Width + column]
};

// The bytes of an uncompressed 24-bit Windows bitmap of the picture (rows stored bottom-up,
// each padded to four bytes).
std::string BmpBytes(const TRgbImage& image);
void WriteBmp(const std::string& path, const TRgbImage& image);

} // namespace marovi
