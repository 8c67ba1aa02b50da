#include <bit>

#include "files/bmp.h"
#include "files/byte_io.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

constexpr int64_t MaxPixels = 100000000; // far beyond any landscape, well within memory

struct TBmpHeader {
    int64_t Width = 0, Height = 0;
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = 0;
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    uint32_t PaletteSize = 0;
    size_t PaletteAt = 0, PaletteEntry = 4, DataAt = 0;
};

constexpr uint32_t BiRgb = 0, BiBitfields = 3, BiAlphaBitfields = 6;

// The value of a masked channel scaled to 0..255.
uint32_t Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return static_cast<uint32_t>((static_cast<uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
}

TBmpHeader ReadHeader(const TRecordIn& all, const std::string& name)
{
    auto fail = [&](const std::string& what) { return Error(name + ": " + what); };
    if (all.Size() < 26 || all.Chars(0, 2) != "BM") throw fail("not a Windows bitmap (.bmp)");
    TBmpHeader h;
    h.DataAt = all.U32(10);
    const uint32_t infoSize = all.U32(14);
    if (infoSize == 12) { // the old OS/2 header: 16-bit sizes, three-byte palette entries
        h.Width = all.U8(18) | all.U8(19) << 8;
        h.Height = all.U8(20) | all.U8(21) << 8;
        h.Bits = all.U8(24) | all.U8(25) << 8;
        h.PaletteEntry = 3;
    } else {
        if (infoSize < 40 || all.Size() < 14 + static_cast<size_t>(infoSize)) throw fail("the bitmap header is damaged");
        h.Width = all.I32(18);
        h.Height = all.I32(22);
        h.Bits = all.U8(28) | all.U8(29) << 8;
        h.Compression = all.U32(30);
        h.PaletteSize = all.U32(46);
        if (h.Compression == BiBitfields || h.Compression == BiAlphaBitfields) {
            // The masks follow a 40-byte header; longer headers hold them in place.
            const size_t at = 54;
            const int count = h.Compression == BiAlphaBitfields || infoSize >= 56 ? 4 : 3;
            if (all.Size() < at + 4 * count) throw fail("the bitmap header is damaged");
            for (int i = 0; i < count; ++i) h.Masks[i] = all.U32(at + 4 * static_cast<size_t>(i));
        }
    }
    if (h.Height < 0) {
        h.TopDown = true;
        h.Height = -h.Height;
    }
    h.PaletteAt = 14 + infoSize + (infoSize == 40 && h.Compression == BiBitfields ? 12 : 0) +
                  (infoSize == 40 && h.Compression == BiAlphaBitfields ? 16 : 0);
    if (h.Width < 1 || h.Height < 1 || h.Width * h.Height > MaxPixels)
        throw fail(Format("a bitmap of %d x %d pixels can not be read", {h.Width, h.Height}));
    const bool rgb = h.Compression == BiRgb;
    const bool fields = h.Compression == BiBitfields || h.Compression == BiAlphaBitfields;
    const bool supported = (rgb && (h.Bits == 1 || h.Bits == 4 || h.Bits == 8 || h.Bits == 16 || h.Bits == 24 || h.Bits == 32)) ||
                           (fields && (h.Bits == 16 || h.Bits == 32));
    if (!supported)
        throw fail(Format("bitmaps of %d bits per pixel with compression %d can not be read (save it uncompressed)",
                          {h.Bits, static_cast<long long>(h.Compression)}));
    if (rgb && h.Bits == 16) h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
    if (rgb && h.Bits == 32) h.Masks[0] = 0xFF0000, h.Masks[1] = 0xFF00, h.Masks[2] = 0xFF;
    return h;
}

} // namespace

TRgbImage ReadBmpBytes(std::string_view bytes, const std::string& name)
{
    const TRecordIn all(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    const TBmpHeader h = ReadHeader(all, name);
    std::vector<uint32_t> palette;
    if (h.Bits <= 8) {
        const uint32_t count = h.PaletteSize == 0 || h.PaletteSize > (1u << h.Bits) ? 1u << h.Bits : h.PaletteSize;
        if (h.PaletteAt + uint64_t{count} * h.PaletteEntry > bytes.size()) throw Error(name + ": the file ends in the palette");
        for (uint32_t i = 0; i < count; ++i) {
            const size_t at = h.PaletteAt + i * h.PaletteEntry;
            palette.push_back(uint32_t{all.U8(at + 2)} << 16 | uint32_t{all.U8(at + 1)} << 8 | all.U8(at));
        }
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(h.Width) * static_cast<uint64_t>(h.Bits) + 31) / 32 * 4;
    if (h.DataAt > bytes.size() || rowBytes * static_cast<uint64_t>(h.Height) > bytes.size() - h.DataAt)
        throw Error(Format("%s: the file ends before the %d x %d pixels it claims", {name, h.Width, h.Height}));
    TRgbImage image{static_cast<int>(h.Width), static_cast<int>(h.Height), {}};
    image.Pixels.resize(static_cast<size_t>(h.Width * h.Height));
    for (int64_t r = 0; r < h.Height; ++r) {
        const size_t rowAt = h.DataAt + static_cast<size_t>(r * static_cast<int64_t>(rowBytes));
        const int64_t row = h.TopDown ? r : h.Height - 1 - r; // row 0 at the top
        for (int64_t col = 0; col < h.Width; ++col) {
            uint32_t c = 0;
            if (h.Bits <= 8) {
                const size_t bit = static_cast<size_t>(col) * static_cast<size_t>(h.Bits);
                const uint32_t index = (all.U8(rowAt + bit / 8) >> (8 - h.Bits - bit % 8)) & ((1u << h.Bits) - 1);
                c = index < palette.size() ? palette[index] : 0;
            } else if (h.Bits == 24) {
                const size_t at = rowAt + static_cast<size_t>(col) * 3;
                c = uint32_t{all.U8(at + 2)} << 16 | uint32_t{all.U8(at + 1)} << 8 | all.U8(at);
            } else {
                const size_t at = rowAt + static_cast<size_t>(col) * static_cast<size_t>(h.Bits / 8);
                const uint32_t v = h.Bits == 16 ? uint32_t{all.U8(at)} | uint32_t{all.U8(at + 1)} << 8 : all.U32(at);
                uint32_t red = Channel(v, h.Masks[0]), green = Channel(v, h.Masks[1]), blue = Channel(v, h.Masks[2]);
                if (h.Masks[3] != 0) { // transparent parts over white
                    const uint32_t a = Channel(v, h.Masks[3]);
                    auto over = [a](uint32_t ch) { return (ch * a + 255 * (255 - a) + 127) / 255; };
                    red = over(red), green = over(green), blue = over(blue);
                }
                c = red << 16 | green << 8 | blue;
            }
            image.Pixels[static_cast<size_t>(row * h.Width + col)] = c;
        }
    }
    return image;
}

TRgbImage ReadBmp(const std::string& path)
{
    TByteReader r(path);
    return ReadBmpBytes(r.Rest("its end"), path);
}

} // namespace marovi
