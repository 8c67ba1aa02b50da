#include "files/disturbance_file.h"

#include <cmath>

#include "disturbance/disturbance.h"
#include "files/save_file.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

void WriteDisturbanceRecord(TByteWriter& w, const TDisturbanceDef& d)
{
    TRecordOut<DisturbanceRecordSize> r;
    r.I32(0, d.X1);
    r.I32(4, d.Y1);
    r.I32(8, d.X2);
    r.I32(12, d.Y2);
    r.F64(16, d.XSize);
    r.F64(24, d.XSizeDev);
    r.F64(32, d.YSize);
    r.F64(40, d.YSizeDev);
    r.Bool(48, d.Clipping);
    r.F64(56, d.Probability[0]);
    r.I32(64, d.LastEvent);
    r.F64(72, d.Severity);
    r.U8(80, d.Substrate);
    r.F64(88, d.Direction);
    r.F64(96, d.Deviation);
    r.I32(104, d.Subevents);
    w.Write(r);
}

namespace {

void CheckDisturbanceValues(const TByteReader& in, const TRecordIn& r, int number)
{
    for (size_t off : {16u, 24u, 32u, 40u}) {
        const double v = r.F64(off);
        if (!std::isfinite(v) || std::fabs(v) > MaxFootprintExtent)
            throw Error(Format("%s: disturbance definition %d has an impossible footprint size (%s)",
                               {in.Name(), number, ShortestText(v)}));
    }
    const double p = r.F64(56);
    if (std::isnan(p) || p > MaxEventsPerStep)
        throw Error(Format("%s: disturbance definition %d has an impossible probability (%s)",
                           {in.Name(), number, ShortestText(p)}));
}

} // namespace

void ReadDisturbanceRecord(TByteReader& in, Model& m, int number)
{
    const TRecordIn r = in.Record(DisturbanceRecordSize, Format("the end of disturbance definition %d", {number}));
    CheckDisturbanceValues(in, r, number);
    AddDisturbance(m, r.I32(0), r.I32(4), r.I32(8), r.I32(12), r.Bool(48), r.F64(16), r.F64(24), r.F64(32), r.F64(40),
                   r.F64(56), r.F64(72), r.F64(88), r.F64(96), r.U8(80), r.I32(104));
}

void SaveDisturbances(const Model& m, const std::string& path)
{
    SaveReplacing(path, [&](TByteWriter& w) {
        for (const TDisturbanceDef& d : m.Disturbances) WriteDisturbanceRecord(w, d);
    });
}

void ReadDisturbances(Model& m, TByteReader& r)
{
    // Whole records only: a trailing partial record is ignored.
    const uint64_t count = r.Remaining() / DisturbanceRecordSize;
    const size_t before = m.Disturbances.size();
    try {
        for (uint64_t i = 0; i < count; ++i) ReadDisturbanceRecord(r, m, static_cast<int>(i + 1));
    } catch (...) {
        m.Disturbances.resize(before);
        throw;
    }
}

void LoadDisturbances(Model& m, const std::string& path)
{
    TByteReader r(path);
    ReadDisturbances(m, r);
}

} // namespace marovi
