#include "files/species_pool_file.h"

#include "files/byte_io.h"
#include "files/save_file.h"
#include "files/species_record.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

constexpr std::string_view PoolVersion = "V 1.20";

void WritePool(TByteWriter& w, const Model& m)
{
    w.Write(PoolVersion);
    for (const TSpecies& s : m.SpeciesPool) WriteSpeciesRecord(w, s);
}

} // namespace

void SaveSpeciesPool(const Model& m, const std::string& path)
{
    SaveReplacing(path, [&](TByteWriter& w) { WritePool(w, m); });
}

std::string SpeciesPoolBytes(const Model& m)
{
    return BytesOf([&](TByteWriter& w) { WritePool(w, m); });
}

int ReadSpeciesPool(Model& m, TByteReader& r)
{
    // The version is read but, as always for pool files, not checked.
    r.Record(PoolVersion.size(), "the end of the version");
    // Whole records only; trailing bytes are ignored.
    const uint64_t n = r.Remaining() / SpeciesRecordSize;
    if (n > MaxSpecies) throw Error(Format("Can not create more then %d different species!", {MaxSpecies - 1}));
    Model pool;
    CreateSpeciesPool(pool, static_cast<int>(n));
    pool.GrowthFunc = m.GrowthFunc;
    for (int i = 0; i < static_cast<int>(n); ++i) ReadSpeciesRecord(r, i, pool.SpeciesPool[static_cast<size_t>(i)]);
    ApplyGrowthModels(pool);
    m.SpeciesPool = std::move(pool.SpeciesPool);
    m.SpeciesMax = pool.SpeciesMax;
    m.GrowthFunc = pool.GrowthFunc;
    UpdateAnyGlobalDrift(m);
    return FitGridToPool(m);
}

int LoadSpeciesPool(Model& m, const std::string& path)
{
    TByteReader r(path);
    return ReadSpeciesPool(m, r);
}

} // namespace marovi
