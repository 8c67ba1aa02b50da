#pragma once
#include <QWidget>
#include <functional>

#include "disturbance/disturbance_editor.h"
#include "editors/editor_widgets.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TStepRunner;
class TmValueEditForm;

// "disturbances": lists, creates, changes and deletes the disturbance definitions, and
// converts between the probability of events per time step and the recurrence interval,
// the years until every cell has been disturbed once.
class TDisturbanceForm : public QWidget {
    Q_OBJECT
public:
    TDisturbanceForm(TStepRunner& runner, TmValueEditForm* seasonDialog, QWidget* parent = nullptr);

    int SelectedDisturbance() const { return selected_; }
    bool NeedsUpdate() const { return needsUpdate_; }
    // The definitions changed elsewhere (a simulation loaded or new): list them again.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    // Runs a change of the model between time steps; a refused change shows its message.
    void Act(std::function<void()> change);

    // Inside an action.
    void RefreshDisturbanceList();
    void ShowDisturbance(int index);
    // The selected definition, or none when nothing (or nothing that still exists) is selected.
    TDisturbanceDef* Selected();

    void MarkNeedsUpdate();
    void MarkUpToDate();
    TDisturbanceEntries Entries() const;

    void NewClicked();
    void DeleteClicked();
    void StandardClicked();
    void EditProbabilityClicked();
    void SetClicked();
    void UpdateClicked();
    void SaveClicked();
    void LoadClicked();

    TStepRunner& runner_;
    Model& model_;
    TmValueEditForm* seasonDialog_;
    editors::TActivationWatch* activation_;

    int selected_ = -1;
    TSeasonProbability editedProbability_{};
    bool probabilityEdited_ = false;
    bool needsUpdate_ = false;
    bool firstActivation_ = true;

    QTreeWidget* ListView1_;
    QLineEdit *x1Edit_, *x2Edit_, *y1Edit_, *y2Edit_, *xSizeEdit_, *ySizeEdit_, *xSizeDevEdit_, *ySizeDevEdit_;
    QLineEdit *SeverityEdit_, *DirEdit_, *DevEdit_, *SubEdit_, *test_;
    QCheckBox* ClippingCheckBox_;
    editors::TBitBoxes substrate_{};
    QPushButton* UpdateValues_;
    QLabel* Label3_;
    QFileDialog *SaveDialog1_, *OpenDialog1_;
};

} // namespace marovi::app
