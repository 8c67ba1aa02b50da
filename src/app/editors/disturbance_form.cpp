#include "editors/disturbance_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "disturbance/disturbance.h"
#include "editors/season_values_form.h"
#include "files/disturbance_file.h"
#include "messages.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "util/format.h"
#include "widgets/typed_text.h"

namespace marovi::app {

using namespace editors;

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TDisturbanceForm::TDisturbanceForm(TStepRunner& runner, TmValueEditForm* seasonDialog, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model()), seasonDialog_(seasonDialog),
      activation_(new TActivationWatch(this))
{
    setObjectName(QStringLiteral("DisturbanceForm"));
    setWindowTitle(QStringLiteral("disturbances"));
    BuildControls();
    firstActivation_ = true;
    Act([this] { RefreshDisturbanceList(); });
    selected_ = -1;
    for (QCheckBox* box : substrate_) box->setEnabled(true);
}

void TDisturbanceForm::BuildControls()
{
    ListView1_ = MakeReportList("ListView1", DisturbanceListColumns.data(), DisturbanceListColumnCount);
    ListView1_->setMinimumHeight(120);
    connect(ListView1_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const int row = ListView1_->indexOfTopLevelItem(item);
        Act([this, row] { ShowDisturbance(row); });
    });

    x1Edit_ = MakeEdit("x1Edit", 60);
    y1Edit_ = MakeEdit("y1Edit", 60);
    x2Edit_ = MakeEdit("x2Edit", 60);
    y2Edit_ = MakeEdit("y2Edit", 60);
    xSizeEdit_ = MakeEdit("xSizeEdit", 60);
    xSizeDevEdit_ = MakeEdit("xSizeDevEdit", 60);
    ySizeEdit_ = MakeEdit("ySizeEdit", 60);
    ySizeDevEdit_ = MakeEdit("ySizeDevEdit", 60);
    ClippingCheckBox_ = Named(new QCheckBox(QStringLiteral("Clipping")), "ClippingCheckBox");
    SeverityEdit_ = MakeEdit("SeverityEdit", 60);
    DirEdit_ = MakeEdit("DirEdit", 60);
    DevEdit_ = MakeEdit("DevEdit", 60);
    SubEdit_ = MakeEdit("SubEdit", 60);
    test_ = MakeEdit("test", 80);
    Label3_ = Named(new QLabel, "Label3");
    QFont bold = Label3_->font();
    bold.setBold(true);
    Label3_->setFont(bold);

    auto* area = Named(new QGroupBox(QStringLiteral("placement and footprint")), "AreaGroupBox");
    auto* areaGrid = new QGridLayout(area);
    // Footprint centres fall between x1 and x2 and between y2 and y1; the map draws row 0 at
    // the bottom, so y1 is the upper edge.
    AddField(areaGrid, 0, 0, CaptionLabel("x1 (left)", "left edge: the smaller x"), x1Edit_);
    AddField(areaGrid, 0, 1, CaptionLabel("y1 (top)", "upper edge: the larger y (row 0 is at the bottom of the map)"),
             y1Edit_);
    AddField(areaGrid, 1, 0, CaptionLabel("x2 (right)", "right edge: the larger x"), x2Edit_);
    AddField(areaGrid, 1, 1, CaptionLabel("y2 (bottom)", "lower edge: the smaller y (row 0 is at the bottom of the map)"),
             y2Edit_);
    AddField(areaGrid, 2, 0, CaptionLabel("x-size"), xSizeEdit_);
    AddField(areaGrid, 2, 1, CaptionLabel("+-"), xSizeDevEdit_);
    AddField(areaGrid, 3, 0, CaptionLabel("y-size"), ySizeEdit_);
    AddField(areaGrid, 3, 1, CaptionLabel("+-"), ySizeDevEdit_);
    areaGrid->addWidget(ClippingCheckBox_, 4, 0, 1, 4);

    auto* event = Named(new QGroupBox(QStringLiteral("event")), "EventGroupBox");
    auto* eventGrid = new QGridLayout(event);
    AddField(eventGrid, 0, 0, CaptionLabel("severity [%]"), SeverityEdit_);
    AddField(eventGrid, 1, 0, CaptionLabel("direction [deg]", "compass bearing: 0 = north, 90 = east, clockwise"), DirEdit_);
    AddField(eventGrid, 2, 0, CaptionLabel("deviation [deg]"), DevEdit_);
    AddField(eventGrid, 3, 0, CaptionLabel("subevents"), SubEdit_);
    eventGrid->setRowStretch(4, 1);

    QGroupBox* substrate = MakeSubstrateBox("GroupBox1", QStringLiteral("set substrate"), 1, substrate_);

    auto* editProbability = MakeButton("EditProbButton", "edit probability");
    auto* set = MakeButton("setButton", "set");
    UpdateValues_ = MakeButton("UpdateValues", "update");
    auto* probability = Named(new QGroupBox(QStringLiteral("probability")), "ProbabilityGroupBox");
    auto* probabilityGrid = new QGridLayout(probability);
    probabilityGrid->addWidget(CaptionLabel("every cell disturbed each years"), 0, 0, 1, 2);
    probabilityGrid->addWidget(test_, 1, 0);
    probabilityGrid->addWidget(set, 1, 1);
    probabilityGrid->addWidget(editProbability, 2, 0, 1, 2);
    probabilityGrid->addWidget(Label3_, 3, 0);
    probabilityGrid->addWidget(UpdateValues_, 3, 1);
    probabilityGrid->setRowStretch(4, 1);

    auto* fields = new QHBoxLayout;
    fields->addWidget(area);
    fields->addWidget(event);
    auto* right = new QVBoxLayout;
    right->addWidget(substrate);
    right->addWidget(probability);
    fields->addLayout(right);
    fields->addStretch();

    auto* create = MakeButton("NewDistButton", "new");
    auto* remove = MakeButton("DelDistButton", "delete");
    auto* refresh = MakeButton("UpdateButton", "refresh");
    auto* standard = MakeButton("StandardButton", "standard");
    auto* save = MakeButton("saveButton", "save");
    auto* load = MakeButton("LoadButton", "load");
    // The definition file's buttons are part of the window but not in use.
    save->setEnabled(false);
    load->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {create, remove, refresh, standard}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(load);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1_, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    ResizeWithinScreen(this, QSize(1000, 560));

    SaveDialog1_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("disturbance difinitions (*.mdf)"), QStringLiteral("mdf"));
    OpenDialog1_ = MakeFileDialog(this, "OpenDialog1", false, QStringLiteral("disturbance definitions (*.mdf)"), QStringLiteral("mdf"));

    // Only the corners, sizes and their deviations, and the clipping mark the definition as changed.
    for (QLineEdit* e : {x1Edit_, x2Edit_, y1Edit_, y2Edit_, xSizeEdit_, ySizeEdit_, xSizeDevEdit_, ySizeDevEdit_})
        connect(e, &QLineEdit::textChanged, this, &TDisturbanceForm::MarkNeedsUpdate);
    connect(ClippingCheckBox_, &QCheckBox::clicked, this, &TDisturbanceForm::MarkNeedsUpdate);
    connect(create, &QPushButton::clicked, this, &TDisturbanceForm::NewClicked);
    connect(remove, &QPushButton::clicked, this, &TDisturbanceForm::DeleteClicked);
    connect(refresh, &QPushButton::clicked, this, [this] {
        Act([this] {
            RefreshDisturbanceList();
            MarkUpToDate();
        });
    });
    connect(standard, &QPushButton::clicked, this, &TDisturbanceForm::StandardClicked);
    connect(editProbability, &QPushButton::clicked, this, &TDisturbanceForm::EditProbabilityClicked);
    connect(set, &QPushButton::clicked, this, &TDisturbanceForm::SetClicked);
    connect(UpdateValues_, &QPushButton::clicked, this, &TDisturbanceForm::UpdateClicked);
    connect(save, &QPushButton::clicked, this, &TDisturbanceForm::SaveClicked);
    connect(load, &QPushButton::clicked, this, &TDisturbanceForm::LoadClicked);
}

void TDisturbanceForm::Act(std::function<void()> change)
{
    ActBetweenSteps(runner_, this, std::move(change));
}

void TDisturbanceForm::Refresh()
{
    Act([this] {
        RefreshDisturbanceList();
        if (!Selected()) selected_ = -1;
    });
}

void TDisturbanceForm::showEvent(QShowEvent* event)
{
    Act([this] {
        if (model_.Disturbances.empty()) return;
        RefreshDisturbanceList();
        ShowDisturbance(0);
    });
    QWidget::showEvent(event);
}

void TDisturbanceForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (firstActivation_)
            firstActivation_ = false;
        else if (!activation_->ReturnedFromDialog()) // a dialog's result must survive its closing
            Act([this] {
                setWindowTitle(QStringLiteral("file %1").arg(Text(model_.FileName)));
                RefreshDisturbanceList();
                MarkUpToDate();
                if (ListView1_->topLevelItemCount() > 0) ShowDisturbance(0);
            });
    }
    QWidget::changeEvent(event);
}

void TDisturbanceForm::RefreshDisturbanceList()
{
    ListView1_->clear();
    for (size_t i = 0; i < model_.Disturbances.size(); ++i)
        AddReportRow(ListView1_, DisturbanceRowTexts(model_.Disturbances[i], static_cast<int>(i)));
    SelectReportRow(ListView1_, selected_);
}

TDisturbanceDef* TDisturbanceForm::Selected()
{
    if (selected_ < 0 || selected_ >= static_cast<int>(model_.Disturbances.size())) return nullptr;
    return &model_.Disturbances[static_cast<size_t>(selected_)];
}

void TDisturbanceForm::ShowDisturbance(int index)
{
    if (index < 0 || index >= ListView1_->topLevelItemCount() || index >= static_cast<int>(model_.Disturbances.size())) return;
    selected_ = index;
    const TDisturbanceDef& d = model_.Disturbances[static_cast<size_t>(index)];
    const TDisturbanceEntries e = DisturbanceEntriesOf(d);
    x1Edit_->setText(Text(e.X1));
    x2Edit_->setText(Text(e.X2));
    y1Edit_->setText(Text(e.Y1));
    y2Edit_->setText(Text(e.Y2));
    xSizeEdit_->setText(Text(e.XSize));
    ySizeEdit_->setText(Text(e.YSize));
    xSizeDevEdit_->setText(Text(e.XSizeDev));
    ySizeDevEdit_->setText(Text(e.YSizeDev));
    ClippingCheckBox_->setChecked(e.Clipping);
    editedProbability_ = d.Probability;
    probabilityEdited_ = false;
    SeverityEdit_->setText(Text(e.Severity));
    DirEdit_->setText(Text(e.Direction));
    DevEdit_->setText(Text(e.Deviation));
    SubEdit_->setText(Text(e.Subevents));
    ShowBits(substrate_, e.Substrate);
    SelectReportRow(ListView1_, index);
    test_->setText(Text(RecurrenceText(d, editedProbability_)));
    Label3_->setText(QStringLiteral("Nummer %1").arg(index + 1));
    MarkUpToDate();
}

void TDisturbanceForm::MarkNeedsUpdate()
{
    needsUpdate_ = true;
    UpdateValues_->setText(QStringLiteral("need update"));
    UpdateValues_->setStyleSheet(QStringLiteral("font-weight: bold; color: red"));
}

void TDisturbanceForm::MarkUpToDate()
{
    needsUpdate_ = false;
    UpdateValues_->setText(QStringLiteral("update"));
    UpdateValues_->setStyleSheet(QString());
}

TDisturbanceEntries TDisturbanceForm::Entries() const
{
    TDisturbanceEntries e;
    e.X1 = Typed(x1Edit_);
    e.X2 = Typed(x2Edit_);
    e.Y1 = Typed(y1Edit_);
    e.Y2 = Typed(y2Edit_);
    e.XSize = Typed(xSizeEdit_);
    e.XSizeDev = Typed(xSizeDevEdit_);
    e.YSize = Typed(ySizeEdit_);
    e.YSizeDev = Typed(ySizeDevEdit_);
    e.Clipping = ClippingCheckBox_->isChecked();
    e.Severity = Typed(SeverityEdit_);
    e.Direction = Typed(DirEdit_);
    e.Deviation = Typed(DevEdit_);
    e.Subevents = Typed(SubEdit_);
    e.Substrate = static_cast<uint8_t>(CheckedBits(substrate_));
    return e;
}

void TDisturbanceForm::NewClicked()
{
    const TDisturbanceEntries entries = Entries();
    Act([this, entries] {
        const TDisturbanceDef d = ReadDisturbanceEntries(entries);
        CheckDisturbanceWork(d, editedProbability_);
        AddDisturbance(model_, d.X1, d.Y1, d.X2, d.Y2, d.Clipping, d.XSize, d.XSizeDev, d.YSize, d.YSizeDev,
                       editedProbability_[0], d.Severity, d.Direction, d.Deviation, d.Substrate, d.Subevents);
        RefreshDisturbanceList();
    });
}

void TDisturbanceForm::DeleteClicked()
{
    QTreeWidgetItem* item = ListView1_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = ListView1_->indexOfTopLevelItem(item);
    Act([this, row] {
        if (row < 0 || row >= static_cast<int>(model_.Disturbances.size())) return;
        model_.Disturbances.erase(model_.Disturbances.begin() + row);
        delete ListView1_->takeTopLevelItem(row);
        // The edit fields keep what they show; the selection follows its definition, and
        // a deleted one leaves nothing selected, so "update" cannot reach another.
        if (selected_ == row) {
            selected_ = -1;
            Label3_->clear();
        } else if (selected_ > row) {
            --selected_;
        }
    });
}

void TDisturbanceForm::StandardClicked()
{
    editedProbability_.fill(1.5);
    Act([this] {
        AddStandardDisturbance(model_);
        RefreshDisturbanceList();
    });
}

void TDisturbanceForm::EditProbabilityClicked()
{
    // The probability belongs to the window until "new" or "update": no model access here.
    TSeasonRequest request{0, QStringLiteral("probability"), false, QStringLiteral("disturbance"), 0};
    if (seasonDialog_->EditSeasonValues(request, editedProbability_)) return;
    probabilityEdited_ = true;
    MarkNeedsUpdate();
}

void TDisturbanceForm::SetClicked()
{
    if (selected_ < 0) {
        ShowMessage(this, QStringLiteral("Error!"), QStringLiteral("select disturbance first!"));
        return;
    }
    const std::string years = Typed(test_);
    Act([this, years] {
        const TDisturbanceDef* d = Selected();
        if (!d) throw Error("select disturbance first!");
        editedProbability_.fill(ProbabilityForYearsText(*d, years));
        MarkNeedsUpdate();
    });
}

void TDisturbanceForm::UpdateClicked()
{
    const TDisturbanceEntries entries = Entries();
    const std::string years = Typed(test_);
    const bool yearsTyped = test_->isModified();
    Act([this, entries, years, yearsTyped] {
        TDisturbanceDef* d = Selected();
        if (!d) return;
        // All fields or none: the definition changes only when everything is accepted.
        const TDisturbanceDef changed = ReadDisturbanceEntries(entries, *d);
        const TSeasonProbability probability =
            probabilityEdited_ ? editedProbability_ : ProbabilityForUpdate(changed, editedProbability_, years, yearsTyped);
        CheckDisturbanceWork(changed, probability);
        *d = changed;
        d->Probability = probability;
        RefreshDisturbanceList();
        ShowDisturbance(selected_); // the fields as the model holds them now
    });
}

void TDisturbanceForm::SaveClicked()
{
    const QString path = ChooseFile(SaveDialog1_);
    if (!path.isEmpty()) Act([this, path] { SaveDisturbances(model_, path.toStdString()); });
}

void TDisturbanceForm::LoadClicked()
{
    const QString path = ChooseFile(OpenDialog1_);
    if (path.isEmpty()) return;
    Act([this, path] {
        LoadDisturbances(model_, path.toStdString());
        RefreshDisturbanceList();
    });
}

} // namespace marovi::app
