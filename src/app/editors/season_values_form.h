#pragma once
#include <QDialog>
#include <QString>
#include <array>

#include "model/types.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marovi::app {

using TSeasonValues = std::array<double, SeasonsPerYear>;

// What a caller of the per-season dialog passes besides the values.
struct TSeasonRequest {
    int Index = 0;        // the species the survival tools refer to
    QString Name;         // the caption is What + " of " + Name
    bool SurvivalTools = false;
    QString What;
    int NormalLifespan = 0; // of species Index, for the survival tools
};

// The per-season value dialog: one value per season of the year, edited in a list; for
// death probabilities also from the survival to the normal lifespan. It holds no model
// state: callers copy the values in and, unless cancelled, out again.
class TmValueEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TmValueEditForm(QWidget* parent = nullptr);

    // Shows the dialog modally; `values` changes only with "use new values ". True when
    // the dialog was cancelled.
    bool EditSeasonValues(const TSeasonRequest& request, TSeasonValues& values);

private:
    void SelectSeason(int season);
    void ConvertEdit();
    void RewriteLines();
    void ComputeClicked();
    void UseClicked();

    TSeasonRequest request_;
    TSeasonValues values_{};
    int season_ = 0;
    bool changed_ = false;

    QListWidget* ListBox1_;
    QLabel *Label1_, *SRLabel_;
    QLineEdit *Edit1_, *SREdit_;
    QPushButton* SRButton_;
};

} // namespace marovi::app
