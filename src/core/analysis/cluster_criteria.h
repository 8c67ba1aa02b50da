#pragma once
#include "analysis/feature_matrix.h"
#include "model/types.h"

namespace marovi {
struct Model;

// The per-cell criteria that fill a feature matrix for the window whose lower corner is
// (x1, y1): element [i][j] stands for cell (x1 + i, y1 + j) and is set to 1 only where the
// mask is 1 and the criterion holds. "Larvae" are the larvae of the cell's last settlement.

void AgeMask(const Model& m, tMerkmal_Matrix& mask, int x1, int y1, int minAge, int maxAge);
// species > SpeciesMax means any species (the counts of all species summed).
void SpeciesCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask,
                      bool useLarvae, int minCount, int maxCount, int species);
void StateCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask, int state);
void DiversityCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask,
                        bool useLarvae, double lo, double hi);
void AreaCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask, double lo,
                   double hi);

int CountAtLeastSize(const Model& m, int x, int y, int species, double minSize);
// The diversity of one cell as the diversity criterion sees it.
double CriterionDiversity(const Model& m, int x, int y, bool useLarvae);

// Neighbourhood homogeneity of one cell over its four diagonal neighbours, and window means.
double StateAgreement(const Model& m, int state, int x, int y, bool useLarvae);
double SpeciesPresence(const Model& m, int species, int x, int y, bool useLarvae);
double DiversityAgreement(const Model& m, int x, int y, bool useLarvae, double lo, double hi);
double WindowStateCA(const Model& m, int x1, int y1, int x2, int y2, int state, bool useLarvae);
double WindowSpeciesCA(const Model& m, int x1, int y1, int x2, int y2, int species, bool useLarvae);
double WindowDiversityCA(const Model& m, int x1, int y1, int x2, int y2, bool useLarvae, double lo, double hi);
double WindowAreaCA(const Model& m, int x1, int y1, int x2, int y2, bool useLarvae, double lo, double hi);

} // namespace marovi
