#include "colours/hsl.h"

#include <cmath>

#include "model/numeric.h"

namespace marovi {
namespace {

int LimitChannel(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

int Channel(double m1, double m2, double h)
{
    if (!std::isfinite(h)) h = 0;
    while (h < 0) h += 1;
    while (h >= 1) h -= 1;
    double v;
    if (6 * h < 1) v = m1 + (m2 - m1) * (6 * h);
    else if (2 * h < 1) v = m2;
    else if (3 * h < 2) v = m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
    else v = m1;
    return LimitChannel(TruncToInt(255 * v));
}

} // namespace

uint32_t HSLtoRGB(double h, double s, double l)
{
    if (s == 0) {
        int grey = LimitChannel(RoundToInt(255 * l));
        return MakeRgb(grey, grey, grey);
    }
    double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    double m1 = 2 * l - m2;
    return MakeRgb(Channel(m1, m2, h + 1.0 / 3.0), Channel(m1, m2, h), Channel(m1, m2, h - 1.0 / 3.0));
}

THsl RGBtoHSL(uint32_t colour)
{
    double r = RedOf(colour) / 255.0, g = GreenOf(colour) / 255.0, b = BlueOf(colour) / 255.0;
    double max = std::fmax(r, std::fmax(g, b));
    double min = std::fmin(r, std::fmin(g, b));
    THsl out;
    out.L = (max + min) / 2;
    if (max == min) return out;
    double d = max - min;
    out.S = out.L >= 0.5 ? d / (2 - max - min) : d / (max + min);
    if (r == max) out.H = (g - b) / d;
    else if (g == max) out.H = 2 + (b - r) / d;
    else out.H = 4 + (r - g) / d;
    out.H = out.H / 6;
    if (out.H < 0) out.H += 1;
    return out;
}

} // namespace marovi
