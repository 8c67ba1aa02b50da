#pragma once
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TFlowChart;
class TStepRunner;

// "edit flow field": the flow grid as arrows over the landscape, the selected flow cell's
// direction, deviation and speed, a new flow grid, and the flow grid files.
class TEditFlowGridForm : public QWidget {
    Q_OBJECT
public:
    TEditFlowGridForm(TStepRunner& runner, QWidget* parent = nullptr);

    // The landscape under the arrows, one pixel per cell, row YMax at the top.
    void SetBackground(const QImage& landscape);
    // Shows the flow grid again after it changed elsewhere.
    void Refresh();

    TFlowChart* Chart() const { return Chart1_; }
    int SelectedX() const { return selX_; }
    int SelectedY() const { return selY_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Inside an action: the fields, the chart's copy of the grid and the selection.
    void FillOnActivate();
    void ShowFlowGrid();
    void ShowSelectedCell();

    void ArrowClicked(int arrow, Qt::MouseButton button);
    void UpdateLocalClicked();
    void ClearSelectedCell();
    void NewFlowGridClicked();
    void ArrowSizeEdited();
    // A file operation between time steps; load and import also reset the selection.
    void FileOperation(QFileDialog* dialog, void (*operation)(Model&, const std::string&), bool replacesGrid);
    void ShowMessages(const std::vector<std::string>& messages);

    TStepRunner& runner_;
    Model& model_;
    int selX_ = 0, selY_ = 0;

    TFlowChart* Chart1_;
    QCheckBox* ShowDevCheckBox_;
    QGroupBox* localGroup_;
    QLabel* CellLabel_;
    QLineEdit *DirEdit_, *devEdit_, *speedEdit_, *xDimEdit_, *yDimEdit_, *ArrowSizeEdit_, *SpeedFactorEdit_;
    QFileDialog *OpenDialog_, *SaveDialog_, *ImportDialog_, *ExportDialog_;
};

} // namespace marovi::app
