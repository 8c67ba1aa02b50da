#include "files/state_def_file.h"

#include "files/save_file.h"

namespace marovi {

namespace {
constexpr size_t CriterionSize = 24;
}

void WriteStateDefBlock(TByteWriter& w, const TStateDef& defs)
{
    TRecordOut<StateDefBlockSize> r;
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            const size_t off = (static_cast<size_t>(k) * GuildCount + g) * CriterionSize;
            const TStateCriterion& c = defs.Criteria[k][g];
            r.Bool(off, c.consider);
            r.F64(off + 8, c.min);
            r.F64(off + 16, c.max);
        }
    w.Write(r);
}

TStateDef ReadStateDefBlock(TByteReader& in)
{
    const TRecordIn r = in.Record(StateDefBlockSize, "the end of the state definitions");
    TStateDef defs;
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            const size_t off = (static_cast<size_t>(k) * GuildCount + g) * CriterionSize;
            defs.Criteria[k][g] = TStateCriterion{r.Bool(off), r.F64(off + 8), r.F64(off + 16)};
        }
    return defs;
}

void SaveStateDefs(const TStateDef& defs, const std::string& path)
{
    SaveReplacing(path, [&](TByteWriter& w) { WriteStateDefBlock(w, defs); });
}

void LoadStateDefs(TStateDef& defs, const std::string& path)
{
    TByteReader r(path);
    defs = ReadStateDefBlock(r);
}

} // namespace marovi
