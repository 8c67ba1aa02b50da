#include "files/species_record.h"

#include <algorithm>

#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

void WriteSpeciesRecord(TByteWriter& w, const TSpecies& s)
{
    TRecordOut<SpeciesRecordSize> r;
    const std::string_view name = std::string_view(s.Name).substr(0, NameLength);
    r.U8(0, static_cast<uint8_t>(name.size()));
    r.Chars(1, name);
    r.F64(24, s.DispersalDistance);
    r.F64(32, s.PatchSize);
    r.F64(40, s.MaxSize);
    r.F64(48, s.DeathProb[0]);
    r.F64(56, s.Fecundity[0]);
    r.I32(64, s.MaxLifespan);
    r.I32(68, s.NormalLifespan);
    r.I32(72, s.FirstReproduction);
    r.I32(76, s.ReproInterval);
    r.Bool(80, s.GlobalDrift);
    r.I8(81, s.Guild);
    r.U32(84, s.GrowsOn);
    r.U32(88, s.ChangesSubstrate);
    r.F64(96, s.ReproAsync);
    r.I32(104, s.Color);
    r.I32(108, s.GrowthModel);
    r.F64(112, s.GrowthK);
    r.F64(120, s.KFactor);
    for (size_t i = 0; i < s.Reserved.size(); ++i) r.U8(128 + i, s.Reserved[i]);
    w.Write(r);
}

void ReadSpeciesRecord(TByteReader& in, int index, TSpecies& s)
{
    const TRecordIn r = in.Record(SpeciesRecordSize, Format("the end of species %d", {index + 1}));
    const int length = r.U8(0);
    if (length > NameLength)
        throw Error(Format("%s: species %d has a name of %d characters (at most %d)", {in.Name(), index + 1, length, NameLength}));
    s.Name = std::string(r.Chars(1, static_cast<size_t>(length)));
    s.DispersalDistance = r.F64(24);
    s.PatchSize = r.F64(32);
    s.MaxSize = r.F64(40);
    s.DeathProb[0] = r.F64(48);
    s.Fecundity[0] = r.F64(56);
    s.MaxLifespan = r.I32(64);
    s.NormalLifespan = r.I32(68);
    s.FirstReproduction = r.I32(72);
    s.ReproInterval = r.I32(76);
    s.GlobalDrift = r.Bool(80);
    s.Guild = r.I8(81);
    s.GrowsOn = r.U32(84);
    s.ChangesSubstrate = r.U32(88);
    s.ReproAsync = r.F64(96);
    s.Color = r.I32(104);
    s.GrowthModel = r.I32(108);
    s.GrowthK = r.F64(112);
    s.KFactor = r.F64(120);
    for (size_t i = 0; i < s.Reserved.size(); ++i) s.Reserved[i] = r.U8(128 + i);
}

void ApplyGrowthModels(Model& m)
{
    for (size_t i = 0; i < m.SpeciesPool.size(); ++i) {
        const int32_t g = m.SpeciesPool[i].GrowthModel;
        if (g != 0 && g != 1) throw Error("unknown growth model!");
        m.GrowthFunc[i] = g;
    }
}

} // namespace marovi
