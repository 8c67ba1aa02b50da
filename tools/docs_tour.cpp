// The images of the user guide. The tour builds the guide's worked example through the
// editors, as the guide tells a user to (random seed, landscape, flow field, species pool,
// disturbance regime), saves the scenario for the runner, runs it from "new" and then shows
// every window the guide explains. Each image is one window (or the map alone), named as the
// guide links it; message boxes are captured when the guide shows them.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "analysis/age_histo_form.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "analysis/virtual_rov_form.h"
#include "docs_tour.h"
#include "editors/disturbance_form.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/land_edit_form.h"
#include "editors/species_edit_form.h"
#include "files/grid_file.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "model/grid.h"
#include "program.h"
#include "step_runner.h"
#include "tour.h"
#include "view/god_mode_form.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"
#include "widgets/map_chart.h"

namespace marovi::tour {

using namespace app;

namespace {

// Status lines carry this time, so that regenerated images change only with the program.
std::string GuideTime() { return "2025-03-01 09:00:00"; }

class TDocsShots {
public:
    TDocsShots(TProgram& p, const QString& dir) : p_(p), dir_(dir), watch_(p)
    {
        watch_.Answer = QMessageBox::Yes; // questions are confirmed, as the guide's steps do
        watch_.Seen = [this](QWidget* modal) {
            if (fill_) fill_(modal);
            if (!nextModal_.isEmpty()) Save(modal->grab(), nextModal_);
            if (!accept_.isEmpty())
                if (auto* button = modal->findChild<QAbstractButton*>(accept_)) button->click();
            nextModal_.clear();
            accept_.clear();
            fill_ = nullptr;
        };
    }
    // The window as it is drawn, without the desktop's frame.
    void Window(QWidget* w, const char* name)
    {
        Settle(p_);
        Save(w->grab(), QString::fromLatin1(name));
    }
    // The next message box or dialog that opens: filled in, saved as an image when named,
    // and closed with the named button (or answered as any other).
    void NextModal(const char* name, std::function<void(QWidget*)> fill = nullptr, const char* accept = "")
    {
        nextModal_ = QString::fromLatin1(name);
        fill_ = std::move(fill);
        accept_ = QString::fromLatin1(accept);
    }

private:
    void Save(const QPixmap& image, const QString& name)
    {
        const QString path = QStringLiteral("%1/%2.png").arg(dir_, name);
        if (!image.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        else std::printf("%s\n", qPrintable(path));
    }
    TProgram& p_;
    QString dir_;
    TModalWatch watch_;
    QString nextModal_, accept_;
    std::function<void(QWidget*)> fill_;
};

QWidget* Open(TProgram& p, const char* button, QWidget* window, int width = 0, int height = 0)
{
    if (button) Click(p, p.MainForm.get(), button);
    Present(window, width, height);
    Settle(p);
    return window;
}

// The worked example of the guide, step by step as its text tells them.
void BuildExample(TProgram& p, TDocsShots& shots, const QString& example)
{
    QWidget* grid = Open(p, "AdditionalButton", p.GridEditForm);
    Type(p, grid, "RandSeedVEdit", QStringLiteral("7"));
    shots.Window(grid, "grid-properties");
    Click(p, grid, "OKButton");

    QWidget* land = Open(p, "LandscapeEditorButton", p.LandEditForm);
    Type(p, land, "XdimEdit", QStringLiteral("50"));
    Type(p, land, "ydimEdit", QStringLiteral("50"));
    Click(p, land, "NewButton");
    Type(p, land, "HiCEdit", QStringLiteral("12"));
    Type(p, land, "LoCEdit", QStringLiteral("4"));
    Type(p, land, "pHiEdit", QStringLiteral("0.5"));
    Click(p, land, "contineousCheckBox");
    Click(p, land, "fraktButton");
    shots.Window(land, "landscape-editor");

    Click(p, land, "EditFlowGridButton");
    QWidget* flow = Open(p, nullptr, p.EditFlowGridForm);
    Type(p, flow, "xDimEdit", QStringLiteral("5"));
    Type(p, flow, "yDimEdit", QStringLiteral("5"));
    Type(p, flow, "DirEdit", QStringLiteral("45"));
    Type(p, flow, "devEdit", QStringLiteral("30"));
    Type(p, flow, "speedEdit", QStringLiteral("1.5"));
    Click(p, flow, "NewFlowGridButton");
    shots.Window(flow, "flow-editor");
    flow->hide();
    land->hide();

    QWidget* species = Open(p, "SpeciesPoolButton", p.SpeciesEditForm);
    Type(p, species, "SpeciesEdit", QStringLiteral("8"));
    Click(p, species, "newButton");
    Type(p, species, "EditVF", QStringLiteral("0.2"));
    Click(p, species, "standardButton1");
    // The late species get a fecundity of 6, so that they can hold their ground between
    // disturbances.
    auto* pool = species->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    for (int row : {6, 7}) {
        pool->setCurrentItem(pool->topLevelItem(row));
        const auto fecundity = [](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
            edit->setText(QStringLiteral("6"));
            emit edit->returnPressed();
        };
        shots.NextModal(row == 7 ? "season-values" : "", fecundity, "CloseButton");
        Click(p, species, "FecButton");
    }
    shots.Window(species, "species-editor");
    species->hide();

    Click(p, p.MainForm.get(), "InitButton1");
    QWidget* disturbances = Open(p, "DisturbanceButton", p.DisturbanceForm);
    Click(p, disturbances, "StandardButton");
    auto* list = disturbances->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    Type(p, disturbances, "test", QStringLiteral("100"));
    Click(p, disturbances, "setButton");
    Type(p, disturbances, "SeverityEdit", QStringLiteral("90"));
    Click(p, disturbances, "UpdateValues");
    shots.Window(disturbances, "disturbance-editor");
    disturbances->hide();

    // The scenario as the runner starts it: a new start clears and fills the cells anyway,
    // so the file keeps them empty and small.
    p.Runner->BetweenSteps(p.MainForm.get(), [&p, example] {
        Model scenario = p.Runner->model();
        ClearAllCells(scenario);
        ResetCounters(scenario);
        SaveGridFile(scenario, example.toStdString());
    });
    Settle(p);
}

void ViewImages(TProgram& p, TDocsShots& shots)
{
    QWidget* view = Open(p, "ShowSimulationButton", p.Visulaize, 980, 860);
    auto* map = view->findChild<TMapChart*>(QStringLiteral("Chart1"));
    const struct {
        const char* Button;
        const char* Image;
    } modes[] = {{"noneRadioButton", "mode-none"},         {"SingleSpeciesRadioButton", "mode-abundance"},
                 {"dominanzRadioButton", "mode-dominance"}, {"stateRadioButton", "mode-states"},
                 {"GuildeRadioButton", "mode-guilde"},      {"DiversityRadioButton", "mode-eveness"},
                 {"turnoverCheckBox", "mode-turnover"},     {"disturbanceRadioButton", "mode-disturbance"},
                 {"CapacityRadioButton", "mode-capacity"}};
    for (const auto& mode : modes) {
        Click(p, view, mode.Button);
        shots.Window(map, mode.Image);
    }
    Click(p, view, "dominanzRadioButton");
    shots.Window(view, "view");

    shots.NextModal("cell-info");
    ClickCell(p, 18, 7, Qt::MiddleButton);
    Click(p, view, "GoodModeButton");
    ClickCell(p, 17, 28, Qt::MiddleButton);
    shots.Window(Open(p, nullptr, p.GodModeForm), "cell-editor");
    p.GodModeForm->close();
    Click(p, view, "GoodModeButton");

    Click(p, view, "ZoomInButton");
    Click(p, view, "ZoomInButton");
    Click(p, view, "ShowSpeciesCheckBox");
    Click(p, view, "ShowFlowCheckBox");
    shots.Window(map, "view-individuals");
    Click(p, view, "ShowSpeciesCheckBox");
    Click(p, view, "ShowFlowCheckBox");

    // The region of interest is the zoomed part; the view shows all of the grid again.
    Click(p, view, "ROIButton");
    Click(p, view, "viewallButton");
    RunSteps(p, 30);
    shots.Window(Open(p, nullptr, p.ROIForm), "roi");

    QWidget* rov = Open(p, nullptr, p.VirtualRovForm);
    Click(p, view, "ROVButton");
    Type(p, rov, "LengthEdit", QStringLiteral("40"));
    Click(p, rov, "StartROVButton");
    shots.Window(rov, "rov");
    Click(p, view, "ROVCheckBox");
    Click(p, view, "stateRadioButton"); // the overlays' green and cyan stand out on it
    shots.Window(map, "view-overlays");

    QWidget* histogram = Open(p, "AgeDistributionButton", p.AgeHistoForm);
    for (int i = 0; i < 3; ++i) Click(p, histogram, "UpDown1Up"); // R1 2, the commonest species
    shots.Window(histogram, "histogram");
}

void AnalysisImages(TProgram& p, TDocsShots& shots)
{
    QWidget* diversity = Open(p, "ClusterButton", p.DiversityForm, 1200, 760);
    auto* states = diversity->findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    states->setCurrentIndex(4);
    emit states->activated(4);
    Click(p, diversity, "ClusterButton");
    shots.Window(diversity, "clusters");
    diversity->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    Click(p, diversity, "Button1");
    shots.Window(diversity, "sliding-box");
    diversity->hide();

    QWidget* succession = Open(p, "SuccessionButton", p.DisturbanceAgeFilterForm, 1200, 800);
    Type(p, succession, "MaxAgeEdit", QStringLiteral("300"));
    Click(p, succession, "guildeRadioButton");
    Click(p, succession, "CalcButton");
    shots.Window(succession, "succession");
    succession->hide();

    QWidget* rank = Open(p, "RankPlotButton", p.RankPlotForm, 1000, 640);
    for (int i = 0; i < 3; ++i) Click(p, rank, "RandomButton");
    Click(p, rank, "PlotButton");
    shots.Window(rank, "rank-plot");
    rank->hide();
}

} // namespace

int DocsTour(const QString& imageDir, const QString& example)
{
    QDir().mkpath(imageDir);
    TProgram p(GuideTime);
    TDocsShots shots(p, imageDir);
    TMainForm* main = p.MainForm.get();
    Present(main, 1100, 680);
    BuildExample(p, shots, example);
    Click(p, main, "InitButton1");
    RunSteps(p, 300);
    shots.Window(main, "main-window");
    ViewImages(p, shots);
    AnalysisImages(p, shots);
    main->Stop();
    return 0;
}

} // namespace marovi::tour
