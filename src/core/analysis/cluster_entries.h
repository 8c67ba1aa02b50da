#pragma once
#include <string>

#include "analysis/cluster_analysis.h"

namespace marovi {
struct Model;

// The fields of the cluster analysis window as the user left them.
struct TClusterEntries {
    TClusterMode Mode = TClusterMode::States;
    int Species = 0;  // the item index of the species list; one past SpeciesMax is "any"
    int State = 0;
    bool Larvae = false;
    std::string X1, Y1, X2, Y2;
    std::string MinCount, MaxCount;
    std::string DiversityLo, DiversityHi;
    std::string AreaLo, AreaHi;
    bool AgeRestricted = false;
    std::string MinAge, MaxAge;
    bool Close = true, NoOrphans = true, Periodic = false;
};

// The fields after a reset: the whole grid, counts 1..HighCapacity, diversity 0..ln(SpeciesMax),
// size sums 0..25, ages 0..10.
TClusterEntries DefaultClusterEntries(const Model& m);

// Reads the fields an analysis uses, in the window's order: the window (limited to the grid),
// the bounds of the diversity or area mode, then, unless only the CA-homogeneity is wanted,
// the count range and the age range when it applies. The first field that is not a number
// throws the conversion error named by the field's caption ("\"top x\": 'x' is not a valid
// integer value").
TClusterRequest ReadClusterEntries(const Model& m, const TClusterEntries& e, bool onlyCA = false);

// The window's corners as the fields show them after reading.
void ShowClusterWindow(const TClusterRequest& r, TClusterEntries& e);

} // namespace marovi
