#pragma once
#include <QWidget>
#include <optional>
#include <vector>

#include "model/types.h"
#include "view/cell_editor.h"

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
    // The cell may have changed (a time step, an edit of the pool): the list shows it again,
    // and the edited individual is followed to its place in the list or, gone, let go.
    void CellChanged();
    // A new or loaded simulation: nobody of the old one is edited any more.
    void SimulationReset();
    // An edit of the species pool, between time steps: the species list shows the pool.
    void FollowSpeciesMoves(const TSpeciesMoves& moves);

    int CellX() const { return x_; }
    int CellY() const { return y_; }
    int EditedIndex() const { return edited_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selection follows its individual across a time step, not across an edit.
    void RefreshCellList(bool keepSelection = false);
    // Inside an action: the edited individual's place in the list now (edited_), or none.
    void FindEdited();
    void RefreshFields();
    // The key of the list line that is selected, if any.
    std::optional<TIndividualKey> SelectedKey() const;
    void PutIntoCell();
    void Kill();
    void Edit();
    void PreviewSize();
    void UpdateIndividual();
    void ClearCell();

    // No individual is edited any more.
    void LetGoEdited();

    TStepRunner& runner_;
    int x_ = 0, y_ = 0;
    int edited_ = -1; // where the edited individual was found last
    std::optional<TIndividualKey> editedKey_;
    std::vector<TIndividualKey> shownKeys_; // of the lines of the cell list

    QListWidget *CellIndiListBox_, *SpeciesPoolListBox_;
    QLabel *CapLabel_, *FreeCapLabel_, *Label1_;
    QLineEdit *AgeEdit_, *SizeEdit_, *LastRepEdit_;
};

} // namespace marovi::app
