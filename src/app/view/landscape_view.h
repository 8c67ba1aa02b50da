#pragma once
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "view/map_frame.h"
#include "view/view_window.h"

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QSlider;

namespace marovi::app {

class TGodModeForm;
class TMainForm;
class TMapChart;
class TROIForm;
class TStepRunner;

// The landscape view: the live map of the simulation with its display modes, overlays,
// snapshots, cell and individual information, God mode, and the entry to the region of
// interest and the virtual ROV.
//
// The map is rendered from the model between time steps (after every round of the run
// loop while the view is visible, and after every change of its settings) into the map
// widget, which paints from that frame only.
//
// The virtual ROV window uses it like this:
// - "virtual ROV" shows the window given to SetRovWindow.
// - A straight transect is picked with two middle clicks on the map: StartRovPick() sets
//   SelectingRovStart and RovPickActive; the first middle click sets RovStart (and
//   SelectingRovEnd), the second RovEnd, clears RovPickActive and emits RovPicked. The
//   pick ends without a result, emitting RovPickCancelled, when CancelRovPick() is called,
//   when the view is hidden or closed, and when a new simulation replaces the grid. The
//   window never waits in a loop: it reacts to the two signals.
// - "ROV course" draws the cells given to SetRovCourse, in order.
class TVisulaize : public QWidget {
    Q_OBJECT
public:
    explicit TVisulaize(TStepRunner& runner, QWidget* parent = nullptr);
    ~TVisulaize() override;

    // Wiring at start-up: the run control (redraws, new simulations, pause), the cell
    // editor of God mode, the region of interest, and the window "virtual ROV" shows.
    void SetMainForm(TMainForm* form);
    void SetGodModeForm(TGodModeForm* form) { godModeForm_ = form; }
    void SetRoiForm(TROIForm* form);
    void SetRovWindow(QWidget* window);

    // --- ROV transect picking
    void StartRovPick();
    void CancelRovPick();
    bool SelectingRovStart() const { return selectingRovStart_; }
    bool SelectingRovEnd() const { return selectingRovEnd_; }
    bool RovPickActive() const { return rovPickActive_; }
    // Cell coordinates (x, y) of the picked start and end.
    QPoint RovStart() const { return rovStart_; }
    QPoint RovEnd() const { return rovEnd_; }

    // The transect that "ROV course" draws: its cells in visiting order; empty for none.
    void SetRovCourse(const std::vector<QPoint>& cells);
    const std::vector<QPoint>& RovCourse() const { return rovCourse_; }

    // --- operations of the run control
    // A new grid or simulation: God mode ends, the settings are read from the check boxes
    // and the species list is refilled.
    void RebuildSeries();
    // An edit of the species pool, between time steps: the species list shows the pool, the
    // chosen species stays chosen.
    void FollowSpeciesMoves(const TSpeciesMoves& moves);
    // Sets the view rectangle from axis limits (and the axes from it when updateAxes), then
    // redraws.
    void SetViewWindow(bool updateAxes, double leftMax, double bottomMax, double leftMin, double bottomMin);
    // The map fills the space left of the buttons and above the settings.
    void ResetChartSize();
    // Redraws the view rectangle after the display delay, saves the auto snapshots and
    // updates the caption.
    void RefreshView();

    TViewRect ViewRect() const { return rect_; }
    bool GodMode() const { return godMode_; }
    int MaxDisturbanceAge() const { return maxDisturbanceAge_; }
    TMapChart* Chart() const { return chart_; }

signals:
    // Both transect ends are picked: RovStart() and RovEnd() hold them. Emitted between
    // time steps: the handler may read the model.
    void RovPicked(QPoint start, QPoint end);
    // A pick in progress ended without a result.
    void RovPickCancelled();
    // The view window was hidden or closed.
    void Hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildButtonColumn();
    QWidget* BuildSettingsPanel();
    void ArrangeForWidth();
    void ConnectControls();

    // Redrawing (landscape_view_draw.cpp).
    TMapFrameRequest FrameRequest() const;
    void Render(bool snapshots);
    void SaveAutoSnapshots();
    bool SaveFrame(const std::string& path, bool vector);
    bool SaveScene();
    void ReportSaveFailure(const QString& message);
    void DrawOverlays(QPainter& p) const;
    void DrawRovCourse(QPainter& p) const;
    void DrawRoi(QPainter& p) const;
    void DrawFlowDirection(QPainter& p) const;

    // Controls.
    void Navigate(int navigation);
    void ViewAll();
    void FitChart();
    void AxesChanged();
    void ModeChosen();
    void DisturbanceAgeChanged(int age);
    void MinSizeChanged(int position);
    void ShowMinSizeControls();
    void GrayBackgroundClicked(bool checked);
    void BorderClicked(bool checked);
    void GridClicked(bool checked);
    void ToggleGodMode();
    void DefineRoi();
    void ShowRovWindow();
    void RequestExtraDisturbance();
    void ChartDoubleClicked(Qt::KeyboardModifiers modifiers);

    // Clicks on the map.
    void BackgroundClicked(Qt::MouseButton button, QPointF value);
    void DiscClicked(int disc);
    // A middle click on cell (x, y) while a pick is in progress: true when it was taken as
    // a transect end.
    bool PickRovCell(int x, int y);

    TStepRunner& runner_;
    TMainForm* mainForm_ = nullptr;
    TGodModeForm* godModeForm_ = nullptr;
    TROIForm* roiForm_ = nullptr;
    QPointer<QWidget> rovWindow_;

    // Settings of the view.
    bool grayBackground_ = true;
    bool drawCellBorders_ = true;
    bool drawGrid_ = true;
    int maxDisturbanceAge_ = 300;
    bool godMode_ = false;
    std::string fileBase_ = "MAROVI";
    std::string saveDir_;
    TViewRect rect_;
    bool fitted_ = false; // "fit chart" rather than "stretch" holds
    TMapFrame frame_;     // buffers of the next frame
    bool redrawPending_ = false; // a redraw waits for its delay or for the step in flight

    bool selectingRovStart_ = false;
    bool selectingRovEnd_ = false;
    bool rovPickActive_ = false;
    QPoint rovStart_, rovEnd_;
    std::vector<QPoint> rovCourse_;

    // Controls.
    QWidget* chartArea_;
    TMapChart* chart_;
    QButtonGroup* modes_;
    QComboBox* ComboBox1_;
    QRadioButton *AdultRadioButton_, *LarvaeRadioButton_;
    QCheckBox *ShowSpeciesCheckBox_, *ROVCheckBox_, *ShowFlowCheckBox_;
    QSlider *TrackBar1_, *minSizeTrackBar_, *DistAgeBar_;
    QLabel *minSizeLabel_, *Label5_;
    QCheckBox *BackgroundCheckBox_, *BorderCheckBox_, *GridCheckBox_;
    QCheckBox *BMPCheckBox_, *WMFCheckBox_, *autoPOVSave_;
    QLineEdit *PovFileEdit_, *PovDirEdit_;
    QPushButton *GoodModeButton_, *PauseButton_;
    QBoxLayout *buttons_, *settings_; // turned for a narrow window
    QWidget* settingsRows_[2];
    QFileDialog* saveDialog_;
};

} // namespace marovi::app
