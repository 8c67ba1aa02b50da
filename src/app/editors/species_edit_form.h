#pragma once
#include <QWidget>
#include <functional>

#include "editors/editor_widgets.h"
#include "model/species_editor.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTreeWidget;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TStepRunner;
class TmValueEditForm;

// "species pool": lists the species with their main parameters, edits the selected one
// field by field, creates, copies, reorders and deletes species, fills the pool with the
// standard values of the four guilds, sets display colours, and saves and loads pools.
class TSpeciesEditForm : public QWidget {
    Q_OBJECT
public:
    TSpeciesEditForm(TStepRunner& runner, TmValueEditForm* seasonDialog, QWidget* parent = nullptr);

    int SelectedSpecies() const { return selected_; }
    // Shows the pool again after it changed elsewhere (a simulation loaded or new).
    void Refresh();

signals:
    // The pool was edited (between time steps, the model already changed): where every
    // species went; also for a new name or colour, where every species stays.
    void SpeciesMoved(const marovi::TSpeciesMoves& moves);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildSpeciesFields();
    QWidget* BuildPoolFields();

    // Runs a change of the model between time steps; a refused change shows its message.
    void Act(std::function<void()> change);
    // Inside an action: rebuild the list and the pool-wide fields, then ShowSpecies.
    void RefreshSpeciesList();
    void ShowSpecies();

    void FieldTyped(TSpeciesField field, QLineEdit* edit);
    void FieldLeft(TSpeciesField field, QLineEdit* edit, bool refresh);
    void NormalLifespanLeft();
    void NewPoolClicked();
    void CopyClicked();
    void DeleteClicked();
    void MoveClicked(int direction);
    void ChooseColour(bool alsoRecord);
    void EditSeasonClicked(bool deathProbability);
    void StandardPoolClicked();
    void LoadClicked();
    void SaveClicked();
    // After an operation that removed individuals whose species left the pool; `whose`
    // names them.
    void ReportRemoved(int removed, const QString& whose);
    // Tells the other windows, inside an action.
    void PoolEdited(const TSpeciesMoves& moves) { emit SpeciesMoved(moves); }
    // Every species stays where it is (names, colours or values changed).
    void PoolKept();

    TStepRunner& runner_;
    Model& model_;
    TmValueEditForm* seasonDialog_;
    int selected_ = 0;

    QTreeWidget* ListView1_;
    QLineEdit *Name_, *firstReproduction_, *Reproductioninterval_, *meanlivespan_, *maxlivespan_;
    QLineEdit *dispersaldistance_, *patchsize_, *maxsizeEdit_, *spkFactorEdit_, *KEdit_, *ReproSyncEdit_;
    QLabel *spkFactorLabel_, *kLabel_, *Image1_;
    QLineEdit *StateNameEdit_, *SpeciesEdit_, *externLPEdit_, *externLCEdit_, *EditVF_;
    QCheckBox *globalDriftCheckBox_, *ProportionalDriftCheckBox_, *OnlyGlobalDriftCheckBox_, *SeedSyncCheckBox_;
    QCheckBox* SaveColorCheckBox_;
    QComboBox* SelectGrowthComboBox_;
    QSpinBox* SpinEdit1_;
    editors::TColourSwatch* Shape1_;
    editors::TBitBoxes growsOn_{}, changesTo_{};
    QFileDialog *OpenDialog1_, *SaveDialog1_;
};

} // namespace marovi::app
