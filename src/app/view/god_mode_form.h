#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;

namespace marovi::app {

class TMainForm;
class TStepRunner;

// The cell editor of God mode: puts individuals of a chosen species into one cell, kills
// them, changes an individual's age and last reproduction, or clears the cell, between
// time steps of the running simulation.
class TGodModeForm : public QWidget {
    Q_OBJECT
public:
    explicit TGodModeForm(TStepRunner& runner, QWidget* parent = nullptr);

    // Time steps and new simulations change the cell.
    void SetMainForm(TMainForm* form);
    // Called by the landscape view for a middle click on cell (x, y) in God mode.
    void OpenCellEditor(int x, int y);
    // The cell may have changed (a time step, a new simulation): the list shows it again.
    void CellChanged();

    int CellX() const { return x_; }
    int CellY() const { return y_; }
    int EditedIndex() const { return edited_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selection survives a time step, not an edit.
    void RefreshCellList(bool keepSelection = false);
    void RefreshFields();
    void PutIntoCell();
    void Kill();
    void Edit();
    void PreviewSize();
    void UpdateIndividual();
    void ClearCell();

    TStepRunner& runner_;
    int x_ = 0, y_ = 0;
    int edited_ = -1;

    QListWidget *CellIndiListBox_, *SpeciesPoolListBox_;
    QLabel *CapLabel_, *FreeCapLabel_, *Label1_;
    QLineEdit *AgeEdit_, *SizeEdit_, *LastRepEdit_;
};

} // namespace marovi::app
