#include "model/model.h"

#include "analysis/indices.h"
#include "analysis/states.h"
#include "landscape/flow.h"

namespace marovi {

Model::Model() : DiversityFunc(&ShannonIndex), SimilarityFunc(&SorensenIndex)
{
    NewFlowGrid(FlowGrid, 1, 1, FlowDirection, FlowDeviation, 1.0);
    ResetStateDefs(StateDefs);
    for (int s = 0; s < MaxSpecies; ++s) SpeciesPovShape[static_cast<size_t>(s)] = s;
}

} // namespace marovi
