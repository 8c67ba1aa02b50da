#include <gtest/gtest.h>

#include <cmath>

#include "disturbance/disturbance.h"
#include "files/summary.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"

using namespace marovi;

TEST(Summary, ListsSpeciesDisturbancesAndDiversity)
{
    Model m;
    CreateSpeciesPool(m, 2);
    CreateGrid(m, 4, 3);
    m.Torus = false;
    m.TimeStep = 77;
    m.FileName = "x.mgf";
    m.StepAbundance = {10, 0};
    m.ExtinctionStep[1] = 12;
    m.SpeciesPool[0].Name = "Acropora cervicornis long";
    // Direction pi/2 (north in the model's angles) is bearing 0; deviation pi/4 is 45 degrees.
    AddDisturbance(m, 0, 2, 3, 0, true, 2.5, 0.5, 3.0, 0.0, 0.25, 1.0, M_PI / 2, M_PI / 4, 1, 2);
    EXPECT_EQ(SimulationSummary(m),
              "file: x.mgf\n"
              "grid: 4 x 3 cells, bounded\n"
              "time step: 77\n"
              "individuals: 0\n"
              "dispersal kernel: exponential, patch kernel: exponential\n"
              "disturbance events: 0, disturbed cells: 0\n"
              "species: 2\n"
              "   no  name                  abundance  extinct at\n"
              "    1  Acropora cervicornis         10  -\n"
              "    2  Species 02                    0  12\n"
              "disturbance definitions: 1\n"
              "  1  area x 0..3, y 0..2, clipped; size 2.5 (sd 0.5) x 3 (sd 0); probability 0.25; severity 1; "
              "direction 0 deg (sd 45); substrate 1; subevents 2\n"
              "diversity (Shannon Index): 0.0000\n");
}
