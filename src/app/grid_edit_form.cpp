#include "grid_edit_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "analysis/indices.h"
#include "messages.h"
#include "model/model.h"
#include "model/simulation.h"
#include "priority_form.h"
#include "step_runner.h"
#include "widgets/named.h"
#include "util/error.h"
#include "util/format.h"
#include "widgets/typed_text.h"

namespace marovi::app {

namespace {

enum TSeparatorButton { TabButton, CommaButton, ColonButton, OtherButton };
enum TSimilarityButton { SoerensenButton, JaccardButton, MSButton };

QLineEdit* AddEdit(QFormLayout* form, const char* name, const char* label)
{
    auto* edit = Named(new QLineEdit, name);
    edit->setMaximumWidth(110);
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

QRadioButton* AddRadio(QButtonGroup* group, QLayout* layout, const char* name, const QString& caption, int id)
{
    auto* radio = Named(new QRadioButton(caption), name);
    group->addButton(radio, id);
    layout->addWidget(radio);
    return radio;
}

QGroupBox* KernelGroup(QButtonGroup* group, const char* title, const char* prefix)
{
    auto* box = new QGroupBox(QString::fromLatin1(title));
    auto* layout = new QVBoxLayout(box);
    const QString p = QString::fromLatin1(prefix);
    const auto add = [&](const char* suffix, const char* caption, TKernel kernel) {
        auto* radio = new QRadioButton(QString::fromLatin1(caption));
        radio->setObjectName(p + QString::fromLatin1(suffix));
        group->addButton(radio, static_cast<int>(kernel));
        layout->addWidget(radio);
    };
    add("_exp_RadioButton", "exponetial kernel (d * -ln(rnd))", TKernel::Exponential);
    add("_dif_RadioButton", "\"diffusion\" kernel (d* norm(rnd))", TKernel::Diffusion);
    add("_uni_RadioButton", "unifrom kernel (d*rnd)", TKernel::Uniform);
    return box;
}

void Show(QLineEdit* edit, const std::string& text) { edit->setText(QString::fromStdString(text)); }

} // namespace

TGridEditForm::TGridEditForm(TStepRunner& runner, TStartFillSetting& startFill, TPriorityForm* priorityForm, QWidget* parent)
    : QDialog(parent), runner_(runner), model_(runner.model()), startFill_(startFill), priorityForm_(priorityForm),
      dispersalKernels_(new QButtonGroup(this)), patchKernels_(new QButtonGroup(this)),
      separators_(new QButtonGroup(this)), diversity_(new QButtonGroup(this)), similarity_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("GridEditForm"));
    startFill_.Value = model_.XMax;

    // Simulation settings.
    auto* simulation = new QGroupBox(QStringLiteral("simulation"));
    auto* form = new QFormLayout(simulation);
    xSeedEdit_ = AddEdit(form, "xSeedEdit", "start fill");
    RadEdit_ = AddEdit(form, "RadEdit", "display radius");
    DirEdit_ = Named(new QLineEdit, "DirEdit");
    DirDevEdit_ = Named(new QLineEdit, "DirDevEdit");
    for (QLineEdit* e : {DirEdit_, DirDevEdit_}) {
        e->setReadOnly(true);
        e->setMaximumWidth(60);
        e->installEventFilter(this);
    }
    auto* flow = new QHBoxLayout;
    flow->addWidget(DirEdit_);
    flow->addWidget(new QLabel(QStringLiteral("° +-")));
    flow->addWidget(DirDevEdit_);
    form->addRow(QStringLiteral("Flowdirection"), flow);
    minSizeEdit_ = AddEdit(form, "minSizeEdit", "min size for visual:");
    minSizeEdit_->setReadOnly(true);
    MaxruntimeEdit_ = AddEdit(form, "MaxruntimeEdit", "max runtime");
    RepEdit_ = AddEdit(form, "RepEdit", "repetitions");
    RandSeedVEdit_ = AddEdit(form, "RandSeedVEdit", "random seed");
    form->addRow(QString(), new QLabel(QStringLiteral("(0=use randomize)")));
    pDistEdit_ = AddEdit(form, "pDistEdit", " + N disturbances");
    pStepEdit_ = AddEdit(form, "pStepEdit", "+ N timesteps");
    TimeSyncCheckBox_ = Named(new QCheckBox(QStringLiteral("old reproduction interval")), "TimeSyncCheckBox");
    form->addRow(TimeSyncCheckBox_);

    // Dispersal, lottery and reproduction.
    auto* lottery = new QGroupBox(QStringLiteral("lottery"));
    auto* lotteryLayout = new QFormLayout(lottery);
    BiasedLotteryCheckBox_ = Named(new QCheckBox(QStringLiteral("do biased lottery")), "BiasedLotteryCheckBox");
    lotteryLayout->addRow(BiasedLotteryCheckBox_);
    kFactorEdit_ = AddEdit(lotteryLayout, "kFactorEdit", "kFactor");
    kFactorEdit_->setToolTip(QStringLiteral("wight for biased lottery"));
    spkfactorCheckBox_ = Named(new QCheckBox(QStringLiteral("species based / global kfactor")), "spkfactorCheckBox");
    lotteryLayout->addRow(spkfactorCheckBox_);
    NSizeEdit_ = AddEdit(lotteryLayout, "NSizeEdit", "neighbourhood size");
    auto* fluct = new QGroupBox(QStringLiteral("reproduction"));
    auto* fluctLayout = new QFormLayout(fluct);
    FluctRepCheckBox_ = Named(new QCheckBox(QStringLiteral("fluctuating reproduction")), "FluctRepCheckBox");
    fluctLayout->addRow(FluctRepCheckBox_);
    FlucRepMinEdit_ = AddEdit(fluctLayout, "FlucRepMinEdit", "min");
    FlucRepMaxEdit_ = AddEdit(fluctLayout, "FlucRepMaxEdit", "max");
    auto* middle = new QVBoxLayout;
    middle->addWidget(KernelGroup(dispersalKernels_, " dispersal distance kernel", "dk"));
    middle->addWidget(KernelGroup(patchKernels_, " patch size kernel", "pk"));
    middle->addWidget(lottery);
    middle->addWidget(fluct);
    middle->addStretch();

    // Separator and measures.
    auto* separatorBox = new QGroupBox(QStringLiteral(" data separator "));
    auto* separatorLayout = new QVBoxLayout(separatorBox);
    AddRadio(separators_, separatorLayout, "TABRadioButton", QStringLiteral("TAB (#9)"), TabButton);
    AddRadio(separators_, separatorLayout, "CommaRadioButton", QStringLiteral("comma (,)"), CommaButton);
    AddRadio(separators_, separatorLayout, "colonRadioButton", QStringLiteral("colon (;)"), ColonButton);
    AddRadio(separators_, separatorLayout, "OtherRadioButton", QStringLiteral("other"), OtherButton);
    separatorLayout->addWidget(new QLabel(QStringLiteral("enter char or ASCII-code below")));
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(new QLabel(QStringLiteral("ASCII #")));
    DSCEdit_ = Named(new QLineEdit, "DSCEdit");
    DSCEdit_->setMaximumWidth(60);
    codeRow->addWidget(DSCEdit_);
    DSCLabel_ = Named(new QLabel, "DSCLabel");
    codeRow->addWidget(DSCLabel_, 1);
    separatorLayout->addLayout(codeRow);

    auto* diversityBox = new QGroupBox(QStringLiteral("diversity measure"));
    auto* diversityLayout = new QVBoxLayout(diversityBox);
    AddRadio(diversity_, diversityLayout, "Hill_0_RadioButton", QStringLiteral("No. species (Hill No. 0)"),
             static_cast<int>(THillButton::Hill0));
    AddRadio(diversity_, diversityLayout, "Hill_1_RadioButton", QStringLiteral("Shannon index (Hill No. 1)"),
             static_cast<int>(THillButton::Hill1))->setChecked(true);
    AddRadio(diversity_, diversityLayout, "Hill_2_RadioButton", QStringLiteral("reciprocal Simpson's index (Hill No. 2)"),
             static_cast<int>(THillButton::Hill2));
    auto* userRow = new QHBoxLayout;
    AddRadio(diversity_, userRow, "Hill_user_RadioButton", QStringLiteral("Hill number "), static_cast<int>(THillButton::HillUser));
    EditHillNo_ = Named(new QLineEdit(QStringLiteral("1")), "EditHillNo");
    EditHillNo_->setMaximumWidth(60);
    userRow->addWidget(EditHillNo_);
    userRow->addStretch();
    diversityLayout->addLayout(userRow);
    AddRadio(diversity_, diversityLayout, "BrillouinRadioButton", QStringLiteral("M-Index"), static_cast<int>(THillButton::MIndex));
    AddRadio(diversity_, diversityLayout, "Mindex0RadioButton", QStringLiteral("M-Index0 "), static_cast<int>(THillButton::MIndex0));

    auto* similarityBox = new QGroupBox(QStringLiteral("beta diversity measure"));
    auto* similarityLayout = new QVBoxLayout(similarityBox);
    AddRadio(similarity_, similarityLayout, "SoerensenRadioButton", QStringLiteral("Soerensen index"), SoerensenButton);
    AddRadio(similarity_, similarityLayout, "JaccardRadioButton", QStringLiteral("Jaccard index"), JaccardButton);
    AddRadio(similarity_, similarityLayout, "MSRadioButton", QStringLiteral("Marczewski-Steinhaus distane"), MSButton);

    auto* right = new QVBoxLayout;
    right->addWidget(separatorBox);
    right->addWidget(diversityBox);
    right->addWidget(similarityBox);
    right->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(simulation);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);

    auto* priority = Named(new QPushButton(QStringLiteral("render priority")), "Button1");
    auto* background = Named(new QPushButton(QStringLiteral("global chart background")), "SelectChartBackgroundButton");
    auto* update = Named(new QPushButton(QStringLiteral("update")), "OKButton");
    auto* close = Named(new QPushButton(QStringLiteral("close")), "Button2");
    update->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(priority);
    buttons->addWidget(background);
    buttons->addStretch();
    buttons->addWidget(update);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    connect(update, &QPushButton::clicked, this, [this] { BetweenSteps([this] { UpdateClicked(); }); });
    connect(close, &QPushButton::clicked, this, &TGridEditForm::CloseClicked);
    connect(priority, &QPushButton::clicked, this, [this] {
        if (priorityForm_) priorityForm_->exec();
    });
    connect(background, &QPushButton::clicked, this, &TGridEditForm::SelectChartBackground);
    connect(spkfactorCheckBox_, &QCheckBox::clicked, this, [this](bool checked) {
        kFactorEdit_->setEnabled(!checked);
        BetweenSteps([this, checked] { model_.SpeciesKFactor = checked; });
    });
    connect(TimeSyncCheckBox_, &QCheckBox::clicked, this,
            [this](bool checked) { BetweenSteps([this, checked] { model_.OldReproInterval = checked; }); });
    connect(separators_, &QButtonGroup::idClicked, this, [this](int id) { BetweenSteps([this, id] { SeparatorButtonClicked(id); }); });
    connect(DSCEdit_, &QLineEdit::editingFinished, this, [this] { BetweenSteps([this] { SeparatorEditFinished(); }); });
    connect(diversity_, &QButtonGroup::idClicked, this, [this](int id) { BetweenSteps([this, id] { DiversityButtonClicked(id); }); });
    connect(EditHillNo_, &QLineEdit::editingFinished, this, [this] { BetweenSteps([this] { HillOrderEdited(); }); });
    connect(similarity_, &QButtonGroup::idClicked, this, [this](int id) { BetweenSteps([this, id] { SimilarityButtonClicked(id); }); });
}

void TGridEditForm::BetweenSteps(std::function<void()> change)
{
    runner_.BetweenSteps(this, std::move(change));
}

void TGridEditForm::showEvent(QShowEvent* event)
{
    BetweenSteps([this] {
        FillOnShow();
        FillOnActivate();
    });
    QDialog::showEvent(event);
}

void TGridEditForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) BetweenSteps([this] { FillOnActivate(); });
    QDialog::changeEvent(event);
}

bool TGridEditForm::eventFilter(QObject* watched, QEvent* event)
{
    // The flow defaults are only shown here; the flow grid editor changes them.
    if ((watched == DirEdit_ || watched == DirDevEdit_) && event->type() == QEvent::MouseButtonPress) {
        ShowMessage(this, QStringLiteral("MAROVI"), QStringLiteral("inactive, use \"edit flow grid\" of the landscape editor!"));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TGridEditForm::FillOnShow()
{
    const TGridPropertiesEntries e = GridPropertiesOf(model_, startFill_);
    Show(xSeedEdit_, e.StartFill);
    Show(RadEdit_, e.BubbleScale);
    Show(DirEdit_, e.FlowDirection);
    Show(DirDevEdit_, e.FlowDeviation);
    Show(minSizeEdit_, e.MinSize);
    Show(MaxruntimeEdit_, e.MaxRuntime);
    Show(RepEdit_, e.Repetitions);
    dispersalKernels_->button(static_cast<int>(e.DispersalKernel))->setChecked(true);
    patchKernels_->button(static_cast<int>(e.PatchKernel))->setChecked(true);
    BiasedLotteryCheckBox_->setChecked(e.BiasedLottery);
    Show(kFactorEdit_, e.KFactor);
    spkfactorCheckBox_->setChecked(model_.SpeciesKFactor);
    kFactorEdit_->setEnabled(!model_.SpeciesKFactor);
    Show(NSizeEdit_, e.NeighbourhoodSize);
    FluctRepCheckBox_->setChecked(e.FluctRepro);
    Show(FlucRepMinEdit_, e.FluctReproMin);
    Show(FlucRepMaxEdit_, e.FluctReproMax);
    const int similarity = model_.SimilarityFunc == &SorensenIndex                 ? SoerensenButton
                           : model_.SimilarityFunc == &JaccardIndex                ? JaccardButton
                           : model_.SimilarityFunc == &MarczewskiSteinhausDistance ? MSButton
                                                                                   : -1;
    // A measure without a button (Bray-Curtis) leaves all three unchecked.
    similarity_->setExclusive(false);
    for (QAbstractButton* b : similarity_->buttons()) b->setChecked(similarity_->id(b) == similarity);
    similarity_->setExclusive(true);
}

void TGridEditForm::FillOnActivate()
{
    setWindowTitle(QStringLiteral("file %1").arg(QString::fromStdString(model_.FileName)));
    const char separator = model_.Separator;
    const int button = separator == '\t' ? TabButton : separator == ',' ? CommaButton : separator == ';' ? ColonButton : OtherButton;
    separators_->button(button)->setChecked(true);
    DSCEdit_->setEnabled(button == OtherButton);
    DSCEdit_->setText(QString::number(static_cast<unsigned char>(separator)));
    DSCLabel_->setText(QStringLiteral("current DSC=") + QString::fromStdString(QuotedSeparator(separator)));
    CheckHillButton();
    EditHillNo_->setText(QString::fromStdString(ShortestText(model_.HillOrder)));
    TimeSyncCheckBox_->setChecked(model_.OldReproInterval);
    const TGridPropertiesEntries e = GridPropertiesOf(model_, startFill_);
    Show(RandSeedVEdit_, e.RandomSeed);
    Show(pDistEdit_, e.TermDisturbances);
    Show(pStepEdit_, e.TermSteps);
}

void TGridEditForm::CheckHillButton()
{
    // The M-indices have no order; their buttons show them, the order the others.
    THillButton button = model_.DiversityFunc == &MIndex    ? THillButton::MIndex
                         : model_.DiversityFunc == &MIndex0 ? THillButton::MIndex0
                         : model_.HillOrder == 0            ? THillButton::Hill0
                         : model_.HillOrder == 1            ? THillButton::Hill1
                         : model_.HillOrder == 2            ? THillButton::Hill2
                                                            : THillButton::HillUser;
    diversity_->button(static_cast<int>(button))->setChecked(true);
}

TGridPropertiesEntries TGridEditForm::Entries() const
{
    TGridPropertiesEntries e;
    e.StartFill = Typed(xSeedEdit_);
    e.BubbleScale = Typed(RadEdit_);
    e.MaxRuntime = Typed(MaxruntimeEdit_);
    e.Repetitions = Typed(RepEdit_);
    e.DispersalKernel = static_cast<TKernel>(dispersalKernels_->checkedId());
    e.PatchKernel = static_cast<TKernel>(patchKernels_->checkedId());
    e.BiasedLottery = BiasedLotteryCheckBox_->isChecked();
    e.KFactor = Typed(kFactorEdit_);
    e.NeighbourhoodSize = Typed(NSizeEdit_);
    e.FluctRepro = FluctRepCheckBox_->isChecked();
    e.FluctReproMin = Typed(FlucRepMinEdit_);
    e.FluctReproMax = Typed(FlucRepMaxEdit_);
    e.RandomSeed = Typed(RandSeedVEdit_);
    e.TermDisturbances = Typed(pDistEdit_);
    e.TermSteps = Typed(pStepEdit_);
    return e;
}

void TGridEditForm::UpdateClicked()
{
    try {
        ApplyGridProperties(model_, startFill_, Entries(), ClockSeed());
    } catch (const Error& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return; // the dialog stays open with the fields before the bad one applied
    }
    accept();
}

void TGridEditForm::CloseClicked()
{
    if (AskYesNo(this, QStringLiteral("question"), QStringLiteral("close without updateing values?"))) reject();
}

void TGridEditForm::SelectChartBackground()
{
    const QColor colour = QColorDialog::getColor(chartBackground_, this);
    if (!colour.isValid()) return;
    chartBackground_ = colour;
    emit ChartBackgroundChanged(colour);
}

void TGridEditForm::ShowSeparator()
{
    DSCEdit_->setText(QString::number(static_cast<unsigned char>(model_.Separator)));
    DSCLabel_->setText(QString::fromStdString(QuotedSeparator(model_.Separator)));
}

void TGridEditForm::SeparatorButtonClicked(int id)
{
    static constexpr char fixed[] = {'\t', ',', ';'};
    if (id != OtherButton) {
        SetSeparatorCode(model_, fixed[id]);
        DSCEdit_->setEnabled(false);
        ShowSeparator();
        return;
    }
    DSCEdit_->setEnabled(true);
    try {
        if (SetSeparatorCode(model_, ConvertInt(Typed(DSCEdit_)))) ShowSeparator();
    } catch (const Error& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
}

void TGridEditForm::SeparatorEditFinished()
{
    try {
        SetSeparatorFromText(model_, Typed(DSCEdit_));
    } catch (const Error& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    ShowSeparator();
}

void TGridEditForm::DiversityButtonClicked(int id)
{
    const auto button = static_cast<THillButton>(id);
    if (button == THillButton::HillUser) {
        try {
            model_.HillOrder = ConvertHillOrder(Typed(EditHillNo_));
        } catch (const Error& e) {
            CheckHillButton();
            ShowError(this, QString::fromStdString(e.what()));
            return;
        }
    }
    SelectDiversityButton(model_, button);
}

void TGridEditForm::HillOrderEdited()
{
    try {
        const THillButton button = SelectHillOrder(model_, ConvertHillOrder(Typed(EditHillNo_)));
        diversity_->button(static_cast<int>(button))->setChecked(true);
    } catch (const Error& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
}

void TGridEditForm::SimilarityButtonClicked(int id)
{
    model_.SimilarityFunc = id == JaccardButton ? &JaccardIndex : id == MSButton ? &MarczewskiSteinhausDistance : &SorensenIndex;
}

} // namespace marovi::app
