#pragma once
#include <QImage>
#include <QWidget>
#include <functional>

class QCheckBox;
class QFileDialog;
class QLineEdit;
class QPushButton;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TCapacityChart;
class TEditFlowGridForm;
class TStepRunner;

// "landscape editor": the capacities of the cells (random, fractal, from an image or
// painted with the mouse), the landscape parameters, a new landscape, periodic boundaries,
// and the way to the flow grid editor.
class TLandEditForm : public QWidget {
    Q_OBJECT
public:
    TLandEditForm(TStepRunner& runner, TEditFlowGridForm* flowGridForm, QWidget* parent = nullptr);

    // Shows the landscape again after it changed elsewhere (a simulation loaded or new).
    void Refresh();
    TCapacityChart* Chart() const { return Chart1_; }

signals:
    // "new landscape" was confirmed: the view hides and the run's records are cleared.
    void NewLandscapeConfirmed();
    // The grid was replaced by a new, empty one of the entered size.
    void LandscapeRecreated();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FillOnShow();
    void RedrawChart();
    // Runs a generator on the worker, then shows the new capacities.
    void Generate(std::function<void(Model&)> generator);

    void NewLandscapeClicked();
    // The capacity and probability fields take their text when it is committed.
    void CommitFields();
    void ShowProbabilities();
    void RectanglePainted(int a, int b, int c, int d);
    void LoadImageClicked();
    void EditFlowGridClicked();

    TStepRunner& runner_;
    Model& model_;
    TEditFlowGridForm* flowGridForm_;
    QImage image_; // the most recently loaded landscape image

    TCapacityChart* Chart1_;
    QLineEdit *XdimEdit_, *ydimEdit_, *HiCEdit_, *LoCEdit_, *pHiEdit_, *pLoEdit_, *setCEdit_;
    QCheckBox *periodicBoundaryCheckBox_, *contineousCheckBox_;
    QFileDialog* BitmapOpenDialog_;
};

} // namespace marovi::app
