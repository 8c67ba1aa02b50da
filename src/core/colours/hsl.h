#pragma once
#include <cstdint>

namespace marovi {

// Colours are 24-bit RGB values held as 0x00RRGGBB.
constexpr uint32_t MakeRgb(int red, int green, int blue)
{
    return (static_cast<uint32_t>(red & 0xFF) << 16) | (static_cast<uint32_t>(green & 0xFF) << 8) |
           static_cast<uint32_t>(blue & 0xFF);
}
constexpr int RedOf(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(uint32_t c) { return static_cast<int>(c & 0xFF); }

// Species records store Windows colour values (red in the lowest byte); the swap is its own inverse.
constexpr uint32_t SwapRedBlue(uint32_t c) { return MakeRgb(BlueOf(c), GreenOf(c), RedOf(c)); }

constexpr uint32_t clSilver = 0xC0C0C0;
constexpr uint32_t clGray = 0x808080;
constexpr uint32_t clWhite = 0xFFFFFF;
constexpr uint32_t clRed = 0xFF0000;
constexpr uint32_t clYellow = 0xFFFF00;
constexpr uint32_t clGreen = 0x008000;
constexpr uint32_t clBlue = 0x0000FF;
constexpr uint32_t clAqua = 0x00FFFF;
constexpr uint32_t clLime = 0x00FF00;
constexpr uint32_t clBlack = 0x000000;

struct THsl {
    double H = 0, S = 0, L = 0;
};

// The HSL model of Foley and van Dam, all components in 0..1. Channels that the formulas
// would push outside 0..255 (saturation or lightness beyond 1) are limited to that range.
uint32_t HSLtoRGB(double h, double s, double l);
THsl RGBtoHSL(uint32_t colour);

} // namespace marovi
