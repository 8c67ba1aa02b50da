#pragma once
#include <string>
#include <vector>

#include "model/model.h"

namespace marovi {

double HillNumber(const Model& m, const TSpeciesCounts& c, double q);
double ShannonIndex(const Model& m, const TSpeciesCounts& c);
double SimpsonIndex(const Model& m, const TSpeciesCounts& c);
double ReciprocalSimpson(const Model& m, const TSpeciesCounts& c);
double BrillouinIndex(const Model& m, const TSpeciesCounts& c);
double MIndex0(const Model& m, const TSpeciesCounts& c);
double MIndex(const Model& m, const TSpeciesCounts& c);
double SpeciesCount(const Model& m, const TSpeciesCounts& c);
double UserHillNumber(const Model& m, const TSpeciesCounts& c);

struct TSharedCounts { int shared = 0, onlyA = 0, onlyB = 0; };
TSharedCounts SharedSpeciesCounts(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b);
double JaccardIndex(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b);
double SorensenIndex(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b);
double BrayCurtisDistance(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b);
double MarczewskiSteinhausDistance(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b);

struct TDiversityEntry { const char* Name; TDiversityFunc Func; };
struct TSimilarityEntry { const char* Name; TSimilarityFunc Func; };
const std::vector<TDiversityEntry>& DiversityCatalogue();
const std::vector<TSimilarityEntry>& SimilarityCatalogue();
std::string SimilarityName(const Model& m);

double CellDiversity(const Model& m, int x, int y, double minSize);

// The "diversity measure" group of the Grid properties dialog.
enum class THillButton { Hill0, Hill1, Hill2, HillUser, MIndex, MIndex0 };
void SelectDiversityButton(Model& m, THillButton button); // HillUser uses the current HillOrder
// Editing the Hill order field: selects by value; returns the button to check.
THillButton SelectHillOrder(Model& m, double q);

} // namespace marovi
