#pragma once
#include <memory>

#include "files/status_list.h"
#include "model/grid_properties.h"
#include "model/model.h"

namespace marovi::app {

class TAboutForm;
class TAgeHistoForm;
class TAutoCloseForm;
class TEditFlowGridForm;
class TDisturbanceForm;
class TGodModeForm;
class TDisturbanceAgeFilterForm;
class TDiversityForm;
class TGridEditForm;
class TLandEditForm;
class TMainForm;
class TPriorityForm;
class TProgressForm;
class TROIForm;
class TSpeciesEditForm;
class TRankPlotForm;
class TStepRunner;
class TVisulaize;
class TvirtualROVForm;
class TmValueEditForm;

// The desktop program: its one model and its windows, created in the start-up order
// (main window first, the timed question last) and wired to each other.
class TProgram {
public:
    explicit TProgram(TClock clock = LocalDateTimeText);
    ~TProgram();

    Model Simulation;
    TStartFillSetting StartFill;
    // Every access to the simulation goes through it; it outlives the windows.
    std::unique_ptr<TStepRunner> Runner;
    std::unique_ptr<TMainForm> MainForm;
    TAboutForm* AboutForm = nullptr;
    TGridEditForm* GridEditForm = nullptr;
    TLandEditForm* LandEditForm = nullptr;
    TPriorityForm* PriorityForm = nullptr;
    TProgressForm* ProgressForm = nullptr;
    TEditFlowGridForm* EditFlowGridForm = nullptr;
    TAutoCloseForm* AutoCloseForm = nullptr;
    TSpeciesEditForm* SpeciesEditForm = nullptr;
    TDisturbanceForm* DisturbanceForm = nullptr;
    TmValueEditForm* mValueEditForm = nullptr;
    TVisulaize* Visulaize = nullptr;
    TROIForm* ROIForm = nullptr;
    TvirtualROVForm* VirtualRovForm = nullptr;
    TAgeHistoForm* AgeHistoForm = nullptr;
    TGodModeForm* GodModeForm = nullptr;
    TDiversityForm* DiversityForm = nullptr;
    TDisturbanceAgeFilterForm* DisturbanceAgeFilterForm = nullptr;
    TRankPlotForm* RankPlotForm = nullptr;
};

} // namespace marovi::app
