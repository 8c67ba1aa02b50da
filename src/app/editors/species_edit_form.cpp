#include "editors/species_edit_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "colours/species_colors.h"
#include "editors/season_values_form.h"
#include "files/species_pool_file.h"
#include "files/species_record.h"
#include "files/species_values.h"
#include "messages.h"
#include "model/life_history.h"
#include "model/model.h"
#include "model/species_moves.h"
#include "model/species_pool.h"
#include "step_runner.h"
#include "util/error.h"
#include "util/format.h"
#include "widgets/committed_field.h"
#include "widgets/typed_text.h"

namespace marovi::app {

using namespace editors;

namespace {

// Species names are single-byte characters, as the files store them.
QString NameText(const std::string& name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }
std::string NameBytes(const QString& text) { return text.toLatin1().toStdString(); }
QString Text(const std::string& text) { return QString::fromStdString(text); }

// Long decimals are shown from their first digit.
void Show(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

// The picture of a scene object: one of five outlines in a colour of its own, with its number.
QPixmap PovPicture(int index)
{
    QPixmap picture(48, 48);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor::fromHsv((index * 67) % 360, 160, 230));
    const QRect box(6, 4, 36, 30);
    switch (index % 5) {
    case 0: p.drawEllipse(box); break;
    case 1: p.drawPolygon(QPolygon({QPoint(24, 4), QPoint(42, 34), QPoint(6, 34)})); break;
    case 2: p.drawRect(box.adjusted(4, 0, -4, 0)); break;
    case 3: p.drawRoundedRect(box, 12, 12); break;
    default: p.drawPolygon(QPolygon({QPoint(24, 4), QPoint(42, 19), QPoint(24, 34), QPoint(6, 19)})); break;
    }
    p.setPen(Qt::black);
    p.drawText(QRect(0, 34, 48, 14), Qt::AlignCenter, QString::number(index));
    return picture;
}

// Two small arrow buttons, named <name>Up and <name>Down.
QWidget* SpinButtons(const char* name, QToolButton*& up, QToolButton*& down)
{
    auto* box = Named(new QWidget, name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QString base = QString::fromLatin1(name);
    up = new QToolButton;
    up->setObjectName(base + QStringLiteral("Up"));
    up->setArrowType(Qt::UpArrow);
    down = new QToolButton;
    down->setObjectName(base + QStringLiteral("Down"));
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setFixedSize(22, 13);
        layout->addWidget(b);
    }
    return box;
}

} // namespace

TSpeciesEditForm::TSpeciesEditForm(TStepRunner& runner, TmValueEditForm* seasonDialog, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model()), seasonDialog_(seasonDialog)
{
    setObjectName(QStringLiteral("SpeciesEditForm"));
    setWindowTitle(QStringLiteral("species pool"));
    BuildControls();
    // Both substrate groups and their check boxes take input from the start.
    for (QCheckBox* box : growsOn_) box->setEnabled(true);
    for (QCheckBox* box : changesTo_) box->setEnabled(true);
    Act([this] { RefreshSpeciesList(); });
}

void TSpeciesEditForm::BuildControls()
{
    ListView1_ = MakeReportList("ListView1", SpeciesListColumns.data(), SpeciesListColumnCount);
    ListView1_->setMinimumHeight(150);
    connect(ListView1_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const int row = item ? ListView1_->indexOfTopLevelItem(item) : -1;
        if (row < 0) return;
        Act([this, row] {
            if (row > model_.SpeciesMax) return;
            selected_ = row;
            ShowSpecies();
        });
    });

    auto* copy = MakeButton("CopyButton", "create sister (copy)");
    auto* remove = MakeButton("deleteSpeciesButton", "delete selected");
    QToolButton *up = nullptr, *down = nullptr;
    QWidget* position = SpinButtons("SpinButton1", up, down);
    auto* resetColours = MakeButton("ResetColorsButton", "reset colors");
    auto* fecundity = MakeButton("FecButton", "edit fecundity");
    auto* death = MakeButton("DeathButton", "edit p(death)");
    auto* standard = MakeButton("StdFecDeathButton", "standard fecundity and p(death)");
    connect(copy, &QPushButton::clicked, this, &TSpeciesEditForm::CopyClicked);
    connect(remove, &QPushButton::clicked, this, &TSpeciesEditForm::DeleteClicked);
    connect(down, &QToolButton::clicked, this, [this] { MoveClicked(+1); });
    connect(up, &QToolButton::clicked, this, [this] { MoveClicked(-1); });
    connect(resetColours, &QPushButton::clicked, this, [this] {
        Act([this] {
            InitSpeciesColors(model_);
            RefreshSpeciesList();
            PoolKept();
        });
    });
    connect(fecundity, &QPushButton::clicked, this, [this] { EditSeasonClicked(false); });
    connect(death, &QPushButton::clicked, this, [this] { EditSeasonClicked(true); });
    connect(standard, &QPushButton::clicked, this, [this] {
        Act([this] {
            StandardSpeciesValues(model_, selected_);
            RefreshSpeciesList();
        });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(remove);
    buttons->addSpacing(8);
    buttons->addWidget(CaptionLabel("position"));
    buttons->addWidget(position);
    buttons->addSpacing(8);
    buttons->addWidget(fecundity);
    buttons->addWidget(death);
    buttons->addWidget(standard);
    buttons->addStretch();
    buttons->addWidget(resetColours);

    auto* fields = new QHBoxLayout;
    fields->addWidget(BuildSpeciesFields());
    fields->addWidget(BuildPoolFields());
    fields->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1_, 1);
    layout->addLayout(buttons);
    layout->addLayout(fields);

    OpenDialog1_ = MakeFileDialog(this, "OpenDialog1", false, QStringLiteral("Marovi species definition (*.msd)"),
                                  QStringLiteral("mdd"));
    SaveDialog1_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("Marovi species definition (*.msd)"),
                                  QStringLiteral("msd"));
    // As large as the list likes, as far as the screen allows.
    ResizeWithinScreen(this, QSize(1500, 760));
}

QWidget* TSpeciesEditForm::BuildSpeciesFields()
{
    auto* group = Named(new QGroupBox(QStringLiteral("selected species")), "SpeciesGroupBox");
    auto* grid = new QGridLayout(group);
    Name_ = MakeEdit("Name", 180);
    Name_->setMaxLength(NameLength);
    firstReproduction_ = MakeEdit("firstReproduction");
    Reproductioninterval_ = MakeEdit("Reproductioninterval");
    meanlivespan_ = MakeEdit("meanlivespan");
    maxlivespan_ = MakeEdit("maxlivespan");
    dispersaldistance_ = MakeEdit("dispersaldistance", 130);
    patchsize_ = MakeEdit("patchsize", 130);
    maxsizeEdit_ = MakeEdit("maxsizeEdit", 130);
    ReproSyncEdit_ = MakeEdit("ReproSyncEdit");
    spkFactorEdit_ = MakeEdit("spkFactorEdit");
    spkFactorLabel_ = Named(CaptionLabel("kfactor"), "spkFactorLabel");
    KEdit_ = MakeEdit("KEdit");
    KEdit_->setReadOnly(true);
    kLabel_ = Named(CaptionLabel("K"), "kLabel");
    SelectGrowthComboBox_ = Named(new QComboBox, "SelectGrowthComboBox");
    SelectGrowthComboBox_->addItems({QStringLiteral("linear"), QStringLiteral("exponential")});
    SelectGrowthComboBox_->setToolTip(QStringLiteral("linear with time/exponential with K=0.05"));
    StateNameEdit_ = MakeEdit("StateNameEdit", 50);
    StateNameEdit_->setReadOnly(true);
    QToolButton *guildUp = nullptr, *guildDown = nullptr;
    QWidget* guildSpin = SpinButtons("StateSpinButton", guildUp, guildDown);
    globalDriftCheckBox_ = Named(new QCheckBox(QStringLiteral("is in external drift")), "globalDriftCheckBox");
    Shape1_ = Named(new TColourSwatch, "Shape1");
    SpinEdit1_ = Named(new QSpinBox, "SpinEdit1");
    SpinEdit1_->setRange(0, MaxSpecies - 1);
    Image1_ = Named(new QLabel, "Image1");
    Image1_->setFixedSize(48, 48);

    const char* const lifespanHint = "linear increase of mortality to \"1\" at this age for individuals older than \"normal\"";
    // Two columns of captions and fields, then the substrates, then how the species looks.
    auto* guild = new QWidget;
    auto* guildLayout = new QHBoxLayout(guild);
    guildLayout->setContentsMargins(0, 0, 0, 0);
    guildLayout->addWidget(StateNameEdit_);
    guildLayout->addWidget(guildSpin);
    guildLayout->addStretch();
    int row = 0;
    grid->addWidget(CaptionLabel("Name"), row, 0);
    grid->addWidget(Name_, row, 1, 1, 2);
    grid->addWidget(globalDriftCheckBox_, row++, 3);
    AddField(grid, row, 0, CaptionLabel("first Reproduction", "timesteps for maturnity"), firstReproduction_);
    AddField(grid, row++, 1, CaptionLabel("Reproduction interval", "timesteps between reproduction"), Reproductioninterval_);
    AddField(grid, row, 0, CaptionLabel("normal live span", "until this lifespan mortality is constant"), meanlivespan_);
    AddField(grid, row++, 1, CaptionLabel("max live span", lifespanHint), maxlivespan_);
    AddField(grid, row, 0, CaptionLabel("dispersal distance"), dispersaldistance_);
    AddField(grid, row++, 1, CaptionLabel("dispersal patch size"), patchsize_);
    AddField(grid, row, 0, CaptionLabel("max size"), maxsizeEdit_);
    AddField(grid, row++, 1, CaptionLabel("rep.sync [%]"), ReproSyncEdit_);
    AddField(grid, row, 0, CaptionLabel("growth mode"), SelectGrowthComboBox_);
    AddField(grid, row++, 1, kLabel_, KEdit_);
    AddField(grid, row, 0, CaptionLabel("guilde"), guild);
    AddField(grid, row++, 1, spkFactorLabel_, spkFactorEdit_);

    auto* growsOn = MakeSubstrateBox("GroupBox1", QStringLiteral("grows on substrate"), 1, growsOn_);
    auto* changesTo = MakeSubstrateBox("GroupBox2", QStringLiteral("changes to substrate"), 9, changesTo_);
    auto* look = new QHBoxLayout;
    look->addWidget(CaptionLabel("colour"));
    look->addWidget(Shape1_);
    look->addSpacing(12);
    look->addWidget(CaptionLabel("POV output"));
    look->addWidget(SpinEdit1_);
    look->addWidget(Image1_);
    look->addStretch();
    grid->addWidget(growsOn, row, 0, 1, 2);
    grid->addWidget(changesTo, row++, 2, 1, 2);
    grid->addLayout(look, row++, 0, 1, 4);

    for (QLineEdit* e : {Name_, dispersaldistance_, patchsize_, spkFactorEdit_}) {
        const TSpeciesField field = e == Name_ ? TSpeciesField::Name
                                    : e == dispersaldistance_ ? TSpeciesField::DispersalDistance
                                    : e == patchsize_         ? TSpeciesField::PatchSize
                                                              : TSpeciesField::KFactor;
        connect(e, &QLineEdit::textEdited, this, [this, field, e] { FieldTyped(field, e); });
    }
    const struct {
        QLineEdit* Edit;
        TSpeciesField Field;
        bool Refresh;
    } exits[] = {
        {Name_, TSpeciesField::Name, true},
        {firstReproduction_, TSpeciesField::FirstReproduction, false},
        {Reproductioninterval_, TSpeciesField::ReproInterval, true},
        {maxlivespan_, TSpeciesField::MaxLifespan, true},
        {dispersaldistance_, TSpeciesField::DispersalDistance, true},
        {patchsize_, TSpeciesField::PatchSize, true},
        {maxsizeEdit_, TSpeciesField::MaxSize, true}, // the Enter key ends the edit too
        {spkFactorEdit_, TSpeciesField::KFactor, true},
        {ReproSyncEdit_, TSpeciesField::ReproSync, true},
    };
    for (const auto& x : exits)
        connect(x.Edit, &QLineEdit::editingFinished, this,
                [this, x] { FieldLeft(x.Field, x.Edit, x.Refresh); });
    connect(meanlivespan_, &QLineEdit::editingFinished, this, &TSpeciesEditForm::NormalLifespanLeft);

    connect(globalDriftCheckBox_, &QCheckBox::clicked, this, [this](bool checked) {
        const int s = selected_;
        Act([this, s, checked] {
            model_.SpeciesPool.at(static_cast<size_t>(s)).GlobalDrift = checked;
            RefreshSpeciesList();
        });
    });
    // Both substrate sets are taken from the check boxes whenever one of them is clicked.
    const auto substratesClicked = [this] {
        const int s = selected_;
        const uint32_t growsOn = CheckedBits(growsOn_), changesTo = CheckedBits(changesTo_);
        Act([this, s, growsOn, changesTo] {
            TSpecies& sp = model_.SpeciesPool.at(static_cast<size_t>(s));
            sp.GrowsOn = growsOn;
            sp.ChangesSubstrate = changesTo;
        });
    };
    for (QCheckBox* box : growsOn_) connect(box, &QCheckBox::clicked, this, substratesClicked);
    for (QCheckBox* box : changesTo_) connect(box, &QCheckBox::clicked, this, substratesClicked);
    connect(SelectGrowthComboBox_, &QComboBox::activated, this, [this](int index) {
        const int s = selected_;
        Act([this, s, index] {
            SetGrowthModel(model_, s, index);
            ShowSpecies();
        });
    });
    for (QToolButton* b : {guildUp, guildDown}) {
        const int direction = b == guildUp ? +1 : -1;
        connect(b, &QToolButton::clicked, this, [this, direction] {
            const int s = selected_;
            Act([this, s, direction] {
                StepGuild(model_, s, direction);
                StateNameEdit_->setText(Text(GuildName(model_.SpeciesPool.at(static_cast<size_t>(s)).Guild)));
            });
        });
    }
    connect(SpinEdit1_, &QSpinBox::valueChanged, this, [this](int value) {
        const int s = selected_;
        Act([this, s, value] { Image1_->setPixmap(PovPicture(SetPovShape(model_, s, value))); });
    });
    connect(Shape1_, &TColourSwatch::Pressed, this, [this] { ChooseColour(false); });
    connect(Shape1_, &TColourSwatch::ContextRequested, this, [this] { ChooseColour(true); });
    return group;
}

QWidget* TSpeciesEditForm::BuildPoolFields()
{
    auto* group = Named(new QGroupBox(QStringLiteral("pool")), "PoolGroupBox");
    auto* grid = new QGridLayout(group);
    SpeciesEdit_ = MakeEdit("SpeciesEdit", 60);
    auto* create = MakeButton("newButton", "discard and create new");
    EditVF_ = MakeEdit("EditVF", 60);
    EditVF_->setText(QStringLiteral("0"));
    auto* standard = MakeButton("standardButton1", "standard values...");
    externLPEdit_ = MakeEdit("externLPEdit", 60);
    externLCEdit_ = MakeEdit("externLCEdit", 60);
    ProportionalDriftCheckBox_ =
        Named(new QCheckBox(QStringLiteral("drift proportional abundance")), "ProportionalDriftCheckBox");
    OnlyGlobalDriftCheckBox_ = Named(new QCheckBox(QStringLiteral("only global drift")), "OnlyGlobalDriftCheckBox");
    SeedSyncCheckBox_ = Named(new QCheckBox(QStringLiteral("seed sync populations")), "SeedSyncCheckBox");
    SeedSyncCheckBox_->setVisible(false);
    auto* load = MakeButton("LoadButton", "load");
    auto* save = MakeButton("saveButton", "save");
    SaveColorCheckBox_ = Named(new QCheckBox(QStringLiteral("save colors")), "SaveColorCheckBox");
    SaveColorCheckBox_->setChecked(true);

    int row = 0;
    grid->addWidget(CaptionLabel("species count"), row, 0);
    grid->addWidget(SpeciesEdit_, row++, 1);
    grid->addWidget(create, row++, 0, 1, 2, Qt::AlignRight);
    grid->addWidget(CaptionLabel("variation factor"), row, 0);
    grid->addWidget(EditVF_, row++, 1);
    grid->addWidget(standard, row++, 0, 1, 2, Qt::AlignRight);
    grid->addWidget(CaptionLabel("probabillity for external larvae drift "), row, 0);
    grid->addWidget(externLPEdit_, row++, 1);
    grid->addWidget(CaptionLabel("max larvae per drift event"), row, 0);
    grid->addWidget(externLCEdit_, row++, 1);
    grid->addWidget(ProportionalDriftCheckBox_, row++, 0, 1, 2);
    grid->addWidget(OnlyGlobalDriftCheckBox_, row++, 0, 1, 2);
    grid->addWidget(SeedSyncCheckBox_, row++, 0, 1, 2);
    auto* files = new QHBoxLayout;
    files->addWidget(load);
    files->addWidget(save);
    files->addWidget(SaveColorCheckBox_);
    files->addStretch();
    grid->addLayout(files, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);

    connect(create, &QPushButton::clicked, this, &TSpeciesEditForm::NewPoolClicked);
    connect(standard, &QPushButton::clicked, this, &TSpeciesEditForm::StandardPoolClicked);
    connect(load, &QPushButton::clicked, this, &TSpeciesEditForm::LoadClicked);
    connect(save, &QPushButton::clicked, this, &TSpeciesEditForm::SaveClicked);
    new TCommittedField(externLPEdit_, runner_, this, QStringLiteral("probabillity for external larvae drift"),
                        [](Model& m, const std::string& text) { SetExternalDriftProb(m, text); },
                        [](const Model& m) { return PoolFieldsOf(m).ExternalDriftProb; });
    new TCommittedField(externLCEdit_, runner_, this, QStringLiteral("max larvae per drift event"),
                        [](Model& m, const std::string& text) { SetMaxDriftLarvae(m, text); },
                        [](const Model& m) { return PoolFieldsOf(m).MaxDriftLarvae; });
    const struct {
        QCheckBox* Box;
        bool Model::*Flag;
    } flags[] = {
        {ProportionalDriftCheckBox_, &Model::ProportionalDrift},
        {OnlyGlobalDriftCheckBox_, &Model::OnlyGlobalDrift},
        {SeedSyncCheckBox_, &Model::SeedSync},
    };
    for (const auto& f : flags)
        connect(f.Box, &QCheckBox::clicked, this, [this, flag = f.Flag](bool checked) { Act([this, flag, checked] { model_.*flag = checked; }); });
    return group;
}

void TSpeciesEditForm::Act(std::function<void()> change)
{
    ActBetweenSteps(runner_, this, std::move(change));
}

void TSpeciesEditForm::Refresh()
{
    if (isVisible()) Act([this] { RefreshSpeciesList(); });
}

void TSpeciesEditForm::showEvent(QShowEvent* event)
{
    Act([this] { RefreshSpeciesList(); });
    QWidget::showEvent(event);
}

void TSpeciesEditForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Act([this] {
            setWindowTitle(QStringLiteral("file %1").arg(Text(model_.FileName)));
            SeedSyncCheckBox_->setChecked(model_.SeedSync);
        });
    QWidget::changeEvent(event);
}

void TSpeciesEditForm::RefreshSpeciesList()
{
    {
        const QSignalBlocker blocker(ListView1_);
        ListView1_->clear();
        for (int s = 0; s <= model_.SpeciesMax; ++s) {
            std::array<std::string, SpeciesListColumnCount> row = SpeciesRowTexts(model_, s);
            AddReportRow(ListView1_, row);
            ListView1_->topLevelItem(s)->setText(0, NameText(row[0]));
        }
    }
    selected_ = std::clamp(selected_, 0, std::max(model_.SpeciesMax, 0));
    SelectReportRow(ListView1_, selected_);
    const TPoolFields pool = PoolFieldsOf(model_);
    SpeciesEdit_->setText(Text(pool.SpeciesCount));
    externLPEdit_->setText(Text(pool.ExternalDriftProb));
    externLCEdit_->setText(Text(pool.MaxDriftLarvae));
    TakeShownPoolFields(model_, pool);
    ShowSpecies();
    UpdateAnyGlobalDrift(model_);
    ProportionalDriftCheckBox_->setChecked(pool.ProportionalDrift);
    OnlyGlobalDriftCheckBox_->setChecked(pool.OnlyGlobalDrift);
}

void TSpeciesEditForm::ShowSpecies()
{
    if (selected_ < 0 || selected_ > model_.SpeciesMax) return;
    const TSpeciesFields f = SpeciesFieldsOf(model_, selected_);
    Show(Name_, NameText(f.Name));
    Show(firstReproduction_, Text(f.FirstReproduction));
    Show(Reproductioninterval_, Text(f.ReproInterval));
    Show(meanlivespan_, Text(f.NormalLifespan));
    Show(maxlivespan_, Text(f.MaxLifespan));
    Show(dispersaldistance_, Text(f.DispersalDistance));
    Show(patchsize_, Text(f.PatchSize));
    Show(maxsizeEdit_, Text(f.MaxSize));
    globalDriftCheckBox_->setChecked(f.GlobalDrift);
    Shape1_->SetColour(QColor(static_cast<QRgb>(f.Colour)));
    {
        const QSignalBlocker blocker(SpinEdit1_);
        SpinEdit1_->setValue(f.PovShape);
    }
    Image1_->setPixmap(PovPicture(f.PovShape));
    Show(StateNameEdit_, Text(f.Guild));
    SelectGrowthComboBox_->setCurrentIndex(f.GrowthModel == 1 ? 1 : 0);
    KEdit_->setVisible(f.ShowGrowthK);
    kLabel_->setVisible(f.ShowGrowthK);
    KEdit_->setEnabled(f.ShowGrowthK);
    Show(KEdit_, Text(f.GrowthK));
    spkFactorEdit_->setVisible(f.ShowKFactor);
    spkFactorLabel_->setVisible(f.ShowKFactor);
    spkFactorEdit_->setEnabled(f.ShowKFactor);
    Show(spkFactorEdit_, Text(f.KFactor));
    ShowBits(growsOn_, f.GrowsOn);
    ShowBits(changesTo_, f.ChangesSubstrate);
    Show(ReproSyncEdit_, Text(f.ReproSync));
}

void TSpeciesEditForm::FieldTyped(TSpeciesField field, QLineEdit* edit)
{
    const int s = selected_;
    const std::string text = field == TSpeciesField::Name ? NameBytes(edit->text()) : Typed(edit);
    Act([this, s, field, text] {
        // While typing, a value out of range is simply not taken yet; leaving the field says why.
        try {
            SetSpeciesField(model_, s, field, text);
        } catch (const Error&) {
            return;
        }
        if (field == TSpeciesField::KFactor) {
            // The list follows the typing; the edit keeps what is being typed.
            const auto row = SpeciesRowTexts(model_, s);
            if (QTreeWidgetItem* item = ListView1_->topLevelItem(s)) item->setText(SpeciesListColumnCount - 1, Text(row.back()));
        }
    });
}

void TSpeciesEditForm::FieldLeft(TSpeciesField field, QLineEdit* edit, bool refresh)
{
    const int s = selected_;
    const std::string text = field == TSpeciesField::Name ? NameBytes(edit->text()) : Typed(edit);
    Act([this, s, field, text, refresh] {
        std::string refused;
        bool taken = false;
        try {
            taken = SetSpeciesField(model_, s, field, text);
        } catch (const Error& e) {
            refused = e.what();
        }
        // A text that is no number was not taken: the field shows the value again.
        if (refresh || !taken) RefreshSpeciesList();
        if (field == TSpeciesField::Name) PoolKept();
        if (!refused.empty()) ShowError(this, Text(refused));
    });
}

void TSpeciesEditForm::NormalLifespanLeft()
{
    const int s = selected_;
    const std::string text = Typed(meanlivespan_);
    Act([this, s, text] {
        std::optional<int> lifespan;
        try {
            lifespan = NormalLifespanChange(model_, s, text);
        } catch (const Error&) {
            RefreshSpeciesList();
            throw;
        }
        if (!lifespan) {
            RefreshSpeciesList();
            return;
        }
        // The question waits for the model to be free again; its answer is applied between steps.
        QTimer::singleShot(0, this, [this, s, value = *lifespan] {
            const bool keepSurvival =
                AskYesNo(this, QStringLiteral("Question"), QStringLiteral("adjust mortality to maintain current survival rate ?"));
            Act([this, s, value, keepSurvival] {
                if (s > model_.SpeciesMax) return;
                SetNormalLifespan(model_.SpeciesPool[static_cast<size_t>(s)], value, keepSurvival);
                RefreshSpeciesList();
            });
        });
    });
}

void TSpeciesEditForm::ReportRemoved(int removed, const QString& whose)
{
    if (removed > 0)
        ShowMessage(this, QStringLiteral("MAROVI"),
                    QStringLiteral("%1 individuals were removed from the grid: %2.").arg(removed).arg(whose));
}

void TSpeciesEditForm::PoolKept() { PoolEdited(KeptSpecies(model_.SpeciesMax + 1)); }

void TSpeciesEditForm::NewPoolClicked()
{
    const std::string text = Typed(SpeciesEdit_);
    Act([this, text] {
        const int count = NewPoolSize(text); // checked before the old pool goes
        int removed = ClearSpeciesPool(model_);
        removed += CreateSpeciesPool(model_, count);
        ApplyGrowthModels(model_);
        InitSpeciesColors(model_);
        RefreshSpeciesList();
        PoolEdited(KeptSpecies(0));
        ReportRemoved(removed, QStringLiteral("their species were discarded"));
    });
}

void TSpeciesEditForm::CopyClicked()
{
    const int s = selected_;
    Act([this, s] {
        if (model_.SpeciesMax >= MaxSpecies - 1) throw Error("max. species count reached, can not add an other one!");
        AddSisterSpecies(model_, s, SisterName(model_, s));
        ApplyGrowthModels(model_);
        InitSpeciesColors(model_);
        RefreshSpeciesList();
        PoolKept();
    });
}

void TSpeciesEditForm::DeleteClicked()
{
    const int s = selected_;
    Act([this, s] {
        if (model_.SpeciesMax < 1) return; // the last species stays
        const QString name = NameText(model_.SpeciesPool.at(static_cast<size_t>(s)).Name);
        const TPoolEdit edit = DeleteSpecies(model_, s);
        ApplyGrowthModels(model_);
        InitSpeciesColors(model_);
        selected_ = std::min(s, model_.SpeciesMax);
        RefreshSpeciesList();
        PoolEdited(edit.Moves);
        ReportRemoved(edit.Removed, QStringLiteral("they were of the deleted species \"%1\"").arg(name));
    });
}

void TSpeciesEditForm::MoveClicked(int direction)
{
    const int s = selected_;
    Act([this, s, direction] {
        const int t = s + direction;
        if (t < 0 || t > model_.SpeciesMax) {
            RefreshSpeciesList();
            return;
        }
        const TPoolEdit edit = SwapSpecies(model_, s, t);
        ApplyGrowthModels(model_);
        selected_ = t;
        RefreshSpeciesList();
        PoolEdited(edit.Moves);
    });
}

void TSpeciesEditForm::ChooseColour(bool alsoRecord)
{
    const int s = selected_;
    const QColor colour = QColorDialog::getColor(Shape1_->Colour(), this);
    if (!colour.isValid()) return;
    Act([this, s, colour, alsoRecord] {
        SetSpeciesColour(model_, s, colour.rgb() & 0xFFFFFF, alsoRecord);
        if (s == selected_) Shape1_->SetColour(colour);
        PoolKept();
    });
}

void TSpeciesEditForm::EditSeasonClicked(bool deathProbability)
{
    const int s = selected_;
    Act([this, s, deathProbability] {
        const TSpecies& sp = model_.SpeciesPool.at(static_cast<size_t>(s));
        TSeasonRequest request{s, NameText(sp.Name), deathProbability,
                               deathProbability ? QStringLiteral("death propability") : QStringLiteral("fecundity"),
                               sp.NormalLifespan};
        TSeasonValues values = deathProbability ? sp.DeathProb : sp.Fecundity;
        // The dialog runs while time steps may go on; what it returns is applied between them.
        QTimer::singleShot(0, this, [this, request, values, deathProbability]() mutable {
            const bool cancelled = seasonDialog_->EditSeasonValues(request, values);
            Act([this, request, values, deathProbability, cancelled] {
                std::string refused;
                if (!cancelled && request.Index <= model_.SpeciesMax) {
                    try {
                        SetSeasonValues(model_, request.Index, deathProbability, values);
                    } catch (const Error& e) {
                        refused = e.what();
                    }
                }
                RefreshSpeciesList();
                if (!refused.empty()) ShowError(this, Text(refused));
            });
        });
    });
}

void TSpeciesEditForm::StandardPoolClicked()
{
    const std::string factor = Typed(EditVF_);
    Act([this, factor] {
        StandardPool(model_, VariationFactor(factor));
        InitSpeciesColors(model_);
        RefreshSpeciesList();
        PoolKept();
    });
}

void TSpeciesEditForm::LoadClicked()
{
    const QString path = ChooseFile(OpenDialog1_);
    Act([this, path] {
        std::string failure;
        int removed = 0;
        const int before = model_.SpeciesMax + 1;
        // A file that does not exist changes nothing and says nothing.
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            try {
                removed = LoadSpeciesPool(model_, path.toStdString());
            } catch (const Error& e) {
                failure = e.what();
            }
        }
        AdoptSpeciesColors(model_);
        RefreshSpeciesList();
        // The species up to the shorter pool's length keep their index and take the loaded records.
        PoolEdited(KeptSpecies(std::min(before, model_.SpeciesMax + 1)));
        if (!failure.empty()) ShowError(this, Text(failure));
        ReportRemoved(removed, QStringLiteral("their species number is no longer in the pool"));
    });
}

void TSpeciesEditForm::SaveClicked()
{
    const QString path = ChooseFile(SaveDialog1_);
    const bool withColours = SaveColorCheckBox_->isChecked();
    Act([this, path, withColours] {
        std::string failure;
        if (!path.isEmpty()) {
            if (withColours) StoreSpeciesColours(model_);
            try {
                SaveSpeciesPool(model_, path.toStdString());
            } catch (const Error& e) {
                failure = e.what();
            }
        }
        RefreshSpeciesList();
        if (!failure.empty()) ShowError(this, Text(failure));
    });
}

} // namespace marovi::app
