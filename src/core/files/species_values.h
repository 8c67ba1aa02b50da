#pragma once

namespace marovi {
struct Model;
struct TSpecies;

// The "standard values..." generator: names and life-history values of the four guild
// groups R0, R1, R2, UD, each mean varied by Gauss() x variationFactor x its spread.
void StandardPool(Model& m, double variationFactor);

// Fraction of a cohort alive at the normal lifespan: exp(-NormalLifespan x DeathProb).
double SurvivalRate(const TSpecies& s);
// The constant death probability that leaves the given survival at the normal lifespan.
// Fails unless 0 < survival <= 1 and the lifespan is positive.
double DeathProbForSurvival(double survival, int normalLifespan);
// Sets the normal lifespan; with keepSurvival the death probability is rescaled so that
// the survival to the normal lifespan stays the same.
void SetNormalLifespan(TSpecies& s, int lifespan, bool keepSurvival);

} // namespace marovi
