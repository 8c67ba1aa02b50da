// The landscape view's redraw: the frame taken from the model, the auto snapshots, the
// caption, and the overlays drawn over the map.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QSlider>
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

#include "files/pov_scene.h"
#include "landscape_view.h"
#include "main_form.h"
#include "messages.h"
#include "model/model.h"
#include "model/numeric.h"
#include "roi_form.h"
#include "step_runner.h"
#include "view/view_texts.h"
#include "widgets/map_chart.h"

namespace marovi::app {

void TVisulaize::RefreshView()
{
    if (modes_->checkedId() != static_cast<int>(TDisplayMode::Disturbance))
        runner_.BetweenSteps(this, [this] { ShowMinSizeControls(); });
    // One redraw waits at a time: it draws the settings as they are when it draws, so the
    // requests made meanwhile (a slider dragged through its range) are all answered by it.
    if (redrawPending_) return;
    redrawPending_ = true;
    auto draw = [this] {
        redrawPending_ = false;
        Render(true);
    };
    // The delay runs on the worker: the window stays live, and the next time step waits
    // behind it, so the run slows down as the slider says.
    const int delay = TrackBar1_->value() * 10;
    if (delay > 0)
        runner_.Submit(
            this, [delay](Model&) { std::this_thread::sleep_for(std::chrono::milliseconds(delay)); }, draw,
            [this](const QString&) { redrawPending_ = false; });
    else
        runner_.BetweenSteps(this, draw);
}

TMapFrameRequest TVisulaize::FrameRequest() const
{
    TMapFrameRequest r;
    r.Rect = rect_;
    r.Mode = static_cast<TDisplayMode>(modes_->checkedId());
    r.Larvae = LarvaeRadioButton_->isChecked();
    r.Colours.Species = std::max(0, ComboBox1_->currentIndex());
    r.Colours.MaxDisturbanceAge = maxDisturbanceAge_;
    r.GrayBackground = grayBackground_;
    r.Individuals = ShowSpeciesCheckBox_->isChecked();
    return r;
}

void TVisulaize::Render(bool snapshots)
{
    const Model& m = runner_.model();
    if (!m.HasGrid()) return;
    BuildMapFrame(m, FrameRequest(), frame_);
    chart_->SetFrame(frame_);
    if (snapshots) SaveAutoSnapshots();
    setWindowTitle(QString::fromStdString(ViewCaption(m)));
}

void TVisulaize::SaveAutoSnapshots()
{
    const int step = runner_.model().TimeStep;
    if (autoPOVSave_->isChecked() && !SaveScene()) return;
    if (WMFCheckBox_->isChecked() && !SaveFrame(SnapshotName(saveDir_, fileBase_, step, ".svg"), true)) return;
    if (BMPCheckBox_->isChecked()) SaveFrame(SnapshotName(saveDir_, fileBase_, step, ".bmp"), false);
}

bool TVisulaize::SaveFrame(const std::string& path, bool vector)
{
    const QString name = QString::fromStdString(path);
    const QString error = vector ? chart_->SaveSvg(name) : chart_->SaveBitmap(name);
    if (error.isEmpty()) return true;
    ReportSaveFailure(error);
    return false;
}

bool TVisulaize::SaveScene()
{
    const Model& m = runner_.model();
    try {
        WriteScene(m, rect_.X0, rect_.Y0, rect_.X1, rect_.Y1, saveDir_, SceneName(fileBase_, m.TimeStep));
        return true;
    } catch (const std::exception& e) {
        ReportSaveFailure(QString::fromStdString(e.what()));
        return false;
    }
}

// A frame that cannot be saved ends a run: otherwise every further redraw would ask again.
void TVisulaize::ReportSaveFailure(const QString& message)
{
    if (mainForm_ && mainForm_->Running()) mainForm_->Stop();
    ShowError(this, message);
}

// ---- overlays ----

void TVisulaize::DrawOverlays(QPainter& p) const
{
    if (ROVCheckBox_->isChecked()) DrawRovCourse(p);
    if (roiForm_ && roiForm_->RoiActive()) DrawRoi(p);
    if (ShowFlowCheckBox_->isChecked()) DrawFlowDirection(p);
}

// The transect through the centres of its cells; a step across the grid's edge (on a
// torus) moves the pen without a line.
void TVisulaize::DrawRovCourse(QPainter& p) const
{
    if (rovCourse_.empty()) return;
    const TMapFrame& f = chart_->Frame();
    const auto centre = [this](QPoint c) { return chart_->PixelOf(QPointF(c.x() + 0.5, c.y() + 0.5)); };
    const auto wraps = [](int from, int to, int max) { return (from == max && to == 0) || (from == 0 && to == max); };
    QPainterPath path(centre(rovCourse_.front()));
    for (size_t i = 1; i < rovCourse_.size(); ++i) {
        const QPoint a = rovCourse_[i - 1], b = rovCourse_[i];
        if (wraps(a.x(), b.x(), f.XMax) || wraps(a.y(), b.y(), f.YMax))
            path.moveTo(centre(b));
        else
            path.lineTo(centre(b));
    }
    p.setPen(QPen(QColor(0, 255, 255), 4, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void TVisulaize::DrawRoi(QPainter& p) const
{
    const auto at = [this](int x, int y) { return chart_->PixelOf(QPointF(x, y)); };
    const int x0 = roiForm_->RoiX0(), y0 = roiForm_->RoiY0(), x1 = roiForm_->RoiX1(), y1 = roiForm_->RoiY1();
    const QPointF corners[] = {at(x0, y0), at(x1, y0), at(x1, y1), at(x0, y1)};
    p.setPen(QPen(QColor(0, 255, 0), 2, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(corners, 4);
}

// The global flow: its direction in black and the spread around it in lime, from a point
// near the upper left corner. Screen rows grow downward, so a direction towards +y (north)
// points up.
void TVisulaize::DrawFlowDirection(QPainter& p) const
{
    const TMapFrame& f = chart_->Frame();
    const QRect plot = chart_->PlotRect();
    const int w = plot.width(), h = plot.height();
    const int length = h / 6;
    const QPoint origin(h / 4, w / 4);
    const auto tip = [&](double angle) {
        return origin + QPoint(RoundToInt(length * std::cos(angle)), -RoundToInt(length * std::sin(angle)));
    };
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2, Qt::DotLine));
    p.drawLine(origin, tip(f.FlowDirection));
    p.setPen(QPen(QColor(0, 255, 0), 2, Qt::DotLine));
    p.drawLine(origin, tip(f.FlowDirection + f.FlowDeviation));
    p.drawLine(origin, tip(f.FlowDirection - f.FlowDeviation));
}

} // namespace marovi::app
