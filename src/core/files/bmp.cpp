#include "files/bmp.h"

#include "files/safe_file.h"
#include "util/error.h"

namespace marovi {
namespace {

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::string BmpBytes(const TRgbImage& image)
{
    if (image.Width < 1 || image.Height < 1 ||
        image.Pixels.size() != static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height))
        throw Error("a bitmap needs at least one pixel and one colour per pixel");
    const uint64_t rowBytes = (static_cast<uint64_t>(image.Width) * 3 + 3) / 4 * 4;
    const uint64_t dataBytes = rowBytes * static_cast<uint64_t>(image.Height);
    if (dataBytes + 54 > UINT32_MAX) throw Error("the bitmap is too large");
    std::string out;
    out.reserve(static_cast<size_t>(dataBytes) + 54);
    out += "BM";
    Put32(out, static_cast<uint32_t>(dataBytes + 54));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.Width));
    Put32(out, static_cast<uint32_t>(image.Height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(dataBytes));
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = image.Height - 1; row >= 0; --row) {
        const size_t start = out.size();
        for (int col = 0; col < image.Width; ++col) {
            const uint32_t c = image.Pixels[static_cast<size_t>(row) * static_cast<size_t>(image.Width) + static_cast<size_t>(col)];
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>((c >> 8) & 0xFF);
            out += static_cast<char>((c >> 16) & 0xFF);
        }
        out.append(static_cast<size_t>(rowBytes) - (out.size() - start), '\0');
    }
    return out;
}

void WriteBmp(const std::string& path, const TRgbImage& image)
{
    const std::string bytes = BmpBytes(image);
    TSafeFile file(path);
    file.Write(bytes);
    file.Commit();
}

} // namespace marovi
