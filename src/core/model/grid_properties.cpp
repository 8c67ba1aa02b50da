#include "model/grid_properties.h"

#include <cmath>
#include <limits>

#include "landscape/flow.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

std::string NoInteger(std::string_view text) { return "'" + std::string(text) + "' is not a valid integer value"; }
std::string NoReal(std::string_view text) { return "'" + std::string(text) + "' is not a valid floating point value"; }

} // namespace

int32_t ConvertInt(std::string_view text)
{
    int value = 0;
    if (!ParseInt(text, value)) throw Error(NoInteger(text));
    return value;
}

double ConvertReal(std::string_view text)
{
    double value = 0;
    if (!ParseFiniteReal(text, value)) throw Error(NoReal(text));
    return value;
}

std::string RangeText(double lo, double hi)
{
    return hi == HUGE_VAL ? "at least " + ShortestText(lo) : ShortestText(lo) + ".." + ShortestText(hi);
}

std::string FieldMessage(std::string_view caption, std::string_view message)
{
    const std::string quoted = "\"" + std::string(caption) + "\"";
    if (message.find(quoted) != std::string_view::npos) return std::string(message);
    return quoted + ": " + std::string(message);
}

namespace {

template <class T>
T InRange(std::string_view caption, T value, T lo, T hi)
{
    if (value >= lo && value <= hi) return value;
    const double top = hi == std::numeric_limits<T>::max() ? HUGE_VAL : static_cast<double>(hi);
    throw Error(Format("\"%s\" must be %s!", {std::string(caption), RangeText(lo, top)}));
}

} // namespace

int32_t ConvertIntField(std::string_view caption, std::string_view text, int32_t lo, int32_t hi)
{
    int value = 0;
    if (!ParseInt(text, value)) throw Error(FieldMessage(caption, NoInteger(text)));
    return InRange(caption, value, lo, hi);
}

double ConvertRealField(std::string_view caption, std::string_view text, double lo, double hi)
{
    double value = 0;
    if (!ParseFiniteReal(text, value)) throw Error(FieldMessage(caption, NoReal(text)));
    return InRange(caption, value, lo, hi);
}

double ConvertHillOrder(std::string_view text)
{
    const double q = ConvertReal(text);
    if (q < 0) throw Error("the order of a Hill number must not be negative");
    return q;
}

TGridPropertiesEntries GridPropertiesOf(const Model& m, const TStartFillSetting& startFill)
{
    TGridPropertiesEntries e;
    e.StartFill = std::to_string(startFill.Value);
    e.BubbleScale = ShortestText(m.BubbleScale);
    e.MaxRuntime = std::to_string(m.MaxRuntime);
    e.Repetitions = std::to_string(m.Repetitions);
    e.DispersalKernel = m.DispersalKernel;
    e.PatchKernel = m.PatchKernel;
    e.BiasedLottery = m.BiasedLottery;
    e.KFactor = ShortestText(m.GlobalKFactor);
    e.NeighbourhoodSize = std::to_string(m.NeighbourhoodSize);
    e.FluctRepro = m.FluctRepro;
    e.FluctReproMin = std::to_string(m.FluctReproMin);
    e.FluctReproMax = std::to_string(m.FluctReproMax);
    e.RandomSeed = std::to_string(m.RandomSeed);
    e.TermDisturbances = std::to_string(m.TermDisturbances);
    e.TermSteps = std::to_string(m.TermSteps);
    e.FlowDirection = ShortestText(MathToCompass(RadToDeg(m.FlowDirection)));
    e.FlowDeviation = ShortestText(RadToDeg(m.FlowDeviation));
    e.MinSize = ShortestText(m.MinSize);
    return e;
}

namespace {

// A guarded integer field: kept when the text is no integer or lies outside lo..hi.
void ApplyGuardedInt(int32_t& target, std::string_view text, int32_t lo = INT32_MIN, int32_t hi = INT32_MAX)
{
    int value = 0;
    if (ParseInt(text, value) && value >= lo && value <= hi) target = value;
}

} // namespace

void ApplyGridProperties(Model& m, TStartFillSetting& startFill, const TGridPropertiesEntries& e,
                         int32_t clockSeed)
{
    const int32_t fill = ConvertInt(e.StartFill);
    if (fill != startFill.Value) {
        startFill.Value = fill;
        startFill.Changed = true;
    }
    m.BubbleScale = ConvertReal(e.BubbleScale);
    m.MaxRuntime = ConvertInt(e.MaxRuntime);
    m.Repetitions = ConvertInt(e.Repetitions);
    m.DispersalKernel = e.DispersalKernel;
    m.PatchKernel = e.PatchKernel;
    m.BiasedLottery = e.BiasedLottery;

    double k = 0;
    if (ParseReal(e.KFactor, k) && std::fabs(k) < 100) m.GlobalKFactor = k;
    int32_t neighbourhood = m.NeighbourhoodSize;
    ApplyGuardedInt(neighbourhood, e.NeighbourhoodSize, 1, 24);
    m.NeighbourhoodSize = static_cast<uint8_t>(neighbourhood);

    m.FluctRepro = e.FluctRepro;
    ApplyGuardedInt(m.FluctReproMin, e.FluctReproMin);
    ApplyGuardedInt(m.FluctReproMax, e.FluctReproMax);

    int seed = 0;
    if (ParseInt(e.RandomSeed, seed) && seed != m.RandomSeed) {
        m.RandomSeed = seed;
        m.Random.SeedRandom(seed != 0 ? seed : clockSeed);
    }
    ApplyGuardedInt(m.TermDisturbances, e.TermDisturbances);
    ApplyGuardedInt(m.TermSteps, e.TermSteps);
}

bool SetSeparatorCode(Model& m, int code)
{
    if (code < 0 || code > 127) return false;
    m.Separator = static_cast<char>(code);
    return true;
}

bool SetSeparatorFromText(Model& m, std::string_view text)
{
    if (text.size() == 1) {
        // Only the 7-bit characters can be separators; a code is what is written to files.
        return SetSeparatorCode(m, static_cast<unsigned char>(text[0]));
    }
    return SetSeparatorCode(m, ConvertInt(text));
}

std::string QuotedSeparator(char separator)
{
    return std::string("\"") + separator + "\"";
}

} // namespace marovi
