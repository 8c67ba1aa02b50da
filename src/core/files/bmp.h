#pragma once
#include <cstdint>
#include <string>
#include <string_view>
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

// Reads a Windows bitmap: 1, 4 and 8 bits with a palette, 16, 24 and 32 bits, uncompressed or
// with bit fields, bottom-up or top-down. Parts that an alpha channel makes transparent are
// white, as the landscape editor reads them. A damaged or unsupported file fails with
// marovi::Error naming the file (`name`) and what is wrong.
TRgbImage ReadBmpBytes(std::string_view bytes, const std::string& name);
TRgbImage ReadBmp(const std::string& path);

} // namespace marovi
