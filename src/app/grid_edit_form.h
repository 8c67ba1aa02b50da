#pragma once
#include <QColor>
#include <QDialog>
#include <functional>

#include "model/grid_properties.h"
#include "model/types.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TPriorityForm;
class TStepRunner;

// "Grid properties": the global simulation parameters without a window of their own.
class TGridEditForm : public QDialog {
    Q_OBJECT
public:
    TGridEditForm(TStepRunner& runner, TStartFillSetting& startFill, TPriorityForm* priorityForm, QWidget* parent = nullptr);

    QColor ChartBackground() const { return chartBackground_; }

signals:
    void ChartBackgroundChanged(const QColor& colour);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillOnShow();
    void FillOnActivate();
    void UpdateClicked();
    void CloseClicked();
    void SelectChartBackground();

    void SeparatorButtonClicked(int id);
    void SeparatorEditFinished();
    void ShowSeparator();
    void DiversityButtonClicked(int id);
    void HillOrderEdited();
    void SimilarityButtonClicked(int id);
    void CheckHillButton();

    TGridPropertiesEntries Entries() const;
    // Runs a change of the model between time steps.
    void BetweenSteps(std::function<void()> change);

    TStepRunner& runner_;
    Model& model_;
    TStartFillSetting& startFill_;
    TPriorityForm* priorityForm_;
    QColor chartBackground_ = Qt::white;

    QLineEdit *xSeedEdit_, *RadEdit_, *DirEdit_, *DirDevEdit_, *minSizeEdit_, *MaxruntimeEdit_, *RepEdit_;
    QButtonGroup *dispersalKernels_, *patchKernels_;
    QCheckBox *BiasedLotteryCheckBox_, *spkfactorCheckBox_, *FluctRepCheckBox_, *TimeSyncCheckBox_;
    QLineEdit *kFactorEdit_, *NSizeEdit_, *FlucRepMinEdit_, *FlucRepMaxEdit_, *RandSeedVEdit_, *pDistEdit_, *pStepEdit_;
    QButtonGroup* separators_;
    QLineEdit* DSCEdit_;
    QLabel* DSCLabel_;
    QButtonGroup* diversity_;
    QLineEdit* EditHillNo_;
    QButtonGroup* similarity_;
};

} // namespace marovi::app
