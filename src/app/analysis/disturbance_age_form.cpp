#include "analysis/disturbance_age_form.h"

#include <QButtonGroup>
#include <QChart>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/chart_texts.h"
#include "analysis/state_def_group.h"
#include "analysis/states.h"
#include "chart_view.h"
#include "files/safe_file.h"
#include "files/state_def_file.h"
#include "messages.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "util/format.h"
#include "widgets/chart_tools.h"
#include "widgets/chart_clicks.h"
#include "widgets/named.h"
#include "widgets/shown_text.h"

namespace marovi::app {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* Edit(const char* name, const char* text = "")
{
    return Named(new QLineEdit(QString::fromLatin1(text)), name);
}

QColor Colour(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

} // namespace

TDisturbanceAgeFilterForm::TDisturbanceAgeFilterForm(TStepRunner& runner, TClock clock, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model()), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("DisturbanceAgeFilterForm"));
    setWindowTitle(QStringLiteral("Disturbace Age Filter"));

    MinAgeEdit_ = Edit("MinAgeEdit", "0");
    MaxAgeEdit_ = Edit("MaxAgeEdit", "400");
    AgeStepEdit_ = Edit("AgeStepEdit", "10");
    Edit1_ = Edit("Edit1");
    Edit2_ = Edit("Edit2");
    Edit3_ = Edit("Edit3");
    Edit4_ = Edit("Edit4");
    auto* fields = new QHBoxLayout;
    const std::pair<const char*, QLineEdit*> labelled[] = {{"min age", MinAgeEdit_}, {"max age", MaxAgeEdit_},
                                                           {"step width", AgeStepEdit_}, {"x1", Edit1_},
                                                           {"y1", Edit2_},           {"x2", Edit3_},
                                                           {"y2", Edit4_}};
    for (const auto& [label, edit] : labelled) {
        fields->addWidget(new QLabel(QString::fromLatin1(label)));
        fields->addWidget(edit);
        edit->setMaximumWidth(60);
    }
    fields->addStretch();
    auto* modes = new QButtonGroup(this);
    singleSpeciesRadioButton_ = Named(new QRadioButton(QStringLiteral("single species")), "singleSpeciesRadioButton");
    guildeRadioButton_ = Named(new QRadioButton(QStringLiteral("guilds")), "guildeRadioButton");
    modes->addButton(singleSpeciesRadioButton_);
    modes->addButton(guildeRadioButton_);
    singleSpeciesRadioButton_->setChecked(true);
    ShowDiversityCheckBox_ = Named(new QCheckBox(QStringLiteral("show diversity")), "ShowDiversityCheckBox");
    ShowDiversityCheckBox_->setChecked(true);
    maxYCheckBox_ = Named(new QCheckBox(QStringLiteral("max(Y)=1")), "maxYCheckBox");
    auto* CalcButton = NamedButton("CalcButton", "calculate");
    auto* SaveButton = NamedButton("SaveButton", "save list");
    Label4_ = Named(new QLabel, "Label4");

    stateDefs_ = new TStateDefGroup;
    auto* UpdateButton = NamedButton("UpdateButton", "apply new definitions");
    auto* Load_Statedef_Button = NamedButton("Load_Statedef_Button", "load");
    auto* Save_State_def_Button = NamedButton("Save_State_def_Button", "save");
    auto* hint = new QLabel(QStringLiteral("select \"guilds\" and click into the graph to see relative abundances!"));
    hint->setWordWrap(true);
    hint->setMinimumWidth(150);

    chart_ = new QChart;
    titleBrush_ = chart_->titleBrush();
    axisX_ = new QValueAxis;
    axisLeft_ = new QValueAxis;
    axisRight_ = new QValueAxis;
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisLeft_, Qt::AlignLeft);
    chart_->addAxis(axisRight_, Qt::AlignRight);
    for (QValueAxis* axis : {axisX_, axisLeft_, axisRight_}) axis->setLabelFormat(QStringLiteral("%g"));
    chart_->legend()->setAlignment(Qt::AlignRight);
    QFont small = chart_->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart_->legend()->setFont(small);
    chart_->setMargins(QMargins(2, 2, 2, 2));
    Chart1_ = Named(new TChartView(chart_), "Chart1");
    Chart1_->setMinimumSize(400, 300);
    connect(new TChartClicks(Chart1_), &TChartClicks::Clicked, this, &TDisturbanceAgeFilterForm::ShowClickMessage);

    auto* options = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{singleSpeciesRadioButton_, guildeRadioButton_, ShowDiversityCheckBox_,
                                                      maxYCheckBox_, CalcButton, SaveButton, Label4_})
        options->addWidget(w);
    options->addStretch();
    auto* definitionButtons = new QVBoxLayout;
    definitionButtons->addWidget(UpdateButton);
    definitionButtons->addWidget(Load_Statedef_Button);
    definitionButtons->addWidget(Save_State_def_Button);
    definitionButtons->addWidget(hint);
    definitionButtons->addStretch();
    auto* definitions = new QHBoxLayout;
    definitions->addWidget(stateDefs_);
    definitions->addLayout(definitionButtons, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart1_, 1);
    layout->addLayout(fields);
    layout->addLayout(options);
    layout->addLayout(definitions);
    resize(1000, 760);

    listDialog_ = MakeFileDialog(this, "ListSaveDialog", true, QStringLiteral("textfile (*.txt)"), QStringLiteral("txt"));
    listDialog_->selectFile(QStringLiteral("textfiles"));
    const QString definitionFilter = QStringLiteral("marovi state definition (*.mtd)");
    loadDialog_ = MakeFileDialog(this, "StateDefOpenDialog", false, definitionFilter, QStringLiteral("mtd"));
    saveDialog_ = MakeFileDialog(this, "StateDefSaveDialog", true, definitionFilter, QStringLiteral("mtd"));
    for (QFileDialog* d : {loadDialog_, saveDialog_}) d->selectFile(QStringLiteral("*.mtd"));

    for (QLineEdit* e : {Edit1_, Edit2_, Edit3_, Edit4_}) connect(e, &QLineEdit::textEdited, this, [this] { areaSet_ = true; });
    connect(CalcButton, &QPushButton::clicked, this, [this] { Calculate(true); });
    for (QRadioButton* r : {singleSpeciesRadioButton_, guildeRadioButton_})
        connect(r, &QRadioButton::clicked, this, [this] { Calculate(true); });
    connect(SaveButton, &QPushButton::clicked, this, &TDisturbanceAgeFilterForm::SaveList);
    connect(UpdateButton, &QPushButton::clicked, this, &TDisturbanceAgeFilterForm::ApplyDefinitions);
    connect(Load_Statedef_Button, &QPushButton::clicked, this, &TDisturbanceAgeFilterForm::LoadDefinitions);
    connect(Save_State_def_Button, &QPushButton::clicked, this, &TDisturbanceAgeFilterForm::SaveDefinitions);
}

void TDisturbanceAgeFilterForm::Reset()
{
    results_.clear();
    chart_->removeAllSeries();
    groups_.clear();
    areaSet_ = false;
}

void TDisturbanceAgeFilterForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) runner_.BetweenSteps(this, [this] { Activated(); });
    QWidget::changeEvent(event);
}

void TDisturbanceAgeFilterForm::Activated()
{
    if (!areaSet_) {
        Edit1_->setText(QStringLiteral("0"));
        Edit2_->setText(QStringLiteral("0"));
        Edit3_->setText(QString::number(model_.XMax));
        Edit4_->setText(QString::number(model_.YMax));
        areaSet_ = true;
    }
    Calculate(false);
    setWindowTitle(Q(AnalysisCaption(model_)));
    Label4_->setText(ShownText(Format("minsize= %4.2f\r(see \"show simulation\")", {model_.MinSize})));
    ShowDefinitions();
}

void TDisturbanceAgeFilterForm::Calculate(bool showErrors)
{
    chart_->removeAllSeries();
    groups_.clear();
    runner_.BetweenSteps(this, [this, showErrors] {
        TSuccessionRequest r;
        TSuccessionPlot plot;
        std::vector<uint32_t> colours;
        const bool guilds = guildeRadioButton_->isChecked();
        try {
            const QLineEdit* edits[] = {MinAgeEdit_, MaxAgeEdit_, AgeStepEdit_, Edit1_, Edit2_, Edit3_, Edit4_};
            int* values[] = {&r.MinAge, &r.MaxAge, &r.Step, &r.X1, &r.Y1, &r.X2, &r.Y2};
            for (size_t i = 0; i < 7; ++i) *values[i] = ConvertInt(edits[i]->text().toStdString());
            results_ = RunSuccession(model_, r);
            plot = SuccessionPlot(model_, r, results_, guilds, ShowDiversityCheckBox_->isChecked());
        } catch (const Error& e) {
            // The empty chart says why; a box only when asked (activation would bring it back).
            chart_->setTitle(Q(e.what()));
            chart_->setTitleBrush(Qt::red);
            if (showErrors) ShowError(this, Q(e.what()));
            return;
        }
        for (int g = 0; g < static_cast<int>(plot.Groups.size()); ++g)
            colours.push_back(guilds ? StateColor(g) : model_.SpeciesColor[static_cast<size_t>(g)]);
        guildPlot_ = guilds;
        Plot(plot, colours, model_.DiversityName);
        SetFixedAxisRange(axisX_, r.MinAge, r.MaxAge + 1, WholeNumberTicks);
    });
}

void TDisturbanceAgeFilterForm::Plot(const TSuccessionPlot& plot, const std::vector<uint32_t>& colours,
                                     const std::string& diversityName)
{
    chart_->setTitle(ChartTitle({plot.TitleLine1, plot.TitleLine2}));
    chart_->setTitleBrush(titleBrush_);
    axisRight_->setTitleText(Q(diversityName));
    auto add = [this](const TSuccessionSeries& s, const QPen& pen, QValueAxis* yAxis) {
        auto* series = new QLineSeries;
        series->setName(Q(s.Title));
        series->setPen(pen);
        for (size_t i = 0; i < s.X.size(); ++i) series->append(s.X[i], s.Y[i]);
        chart_->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(yAxis);
        return series;
    };
    for (size_t g = 0; g < plot.Groups.size(); ++g) groups_.push_back(add(plot.Groups[g], QPen(Colour(colours[g]), 1.5), axisLeft_));
    QList<QXYSeries*> left(groups_.begin(), groups_.end());
    left << add(plot.N, QPen(Qt::black, 1.5, Qt::DotLine), axisLeft_);
    QLineSeries* diversity = add(plot.Diversity, QPen(Qt::black, 1.5), axisRight_);

    const auto y = PointRange(left, Qt::Vertical);
    if (maxYCheckBox_->isChecked()) SetFixedAxisRange(axisLeft_, std::min(0.0, y ? y->first : 0.0), 1.02);
    else SetAxisRange(axisLeft_, y ? y->first : 0, y ? y->second : 1);
    const auto d = PointRange({diversity}, Qt::Vertical);
    SetAxisRange(axisRight_, d ? d->first : 0, d ? d->second : 1);
}

// In guild mode: the guild shares of the interval nearest to the click.
void TDisturbanceAgeFilterForm::ShowClickMessage(QPointF position)
{
    if (!guildPlot_ || groups_.empty() || !chart_->plotArea().contains(position)) return;
    const QList<QPointF> first = groups_.front()->points();
    if (first.isEmpty()) return;
    const double x = chart_->mapToValue(position, groups_.front()).x();
    qsizetype nearest = 0;
    for (qsizetype i = 1; i < first.size(); ++i)
        if (std::abs(first[i].x() - x) < std::abs(first[nearest].x() - x)) nearest = i;
    std::vector<double> shares;
    for (QLineSeries* g : groups_) shares.push_back(g->at(nearest).y());
    ShowMessage(this, QStringLiteral("MAROVI"), ShownText(SuccessionClickMessage(shares)), true);
}

void TDisturbanceAgeFilterForm::SaveList()
{
    const QString path = ChooseFile(listDialog_);
    if (path.isEmpty()) return;
    runner_.BetweenSteps(this, [this, path] {
        try {
            WriteTextLines(path.toStdString(), SuccessionListLines(model_, results_, clock_()));
        } catch (const Error& e) {
            ShowError(this, Q(e.what()));
        }
    });
}

void TDisturbanceAgeFilterForm::ShowDefinitions()
{
    stateDefs_->SetFields(StateDefFieldTexts(model_.StateDefs));
}

void TDisturbanceAgeFilterForm::ChangeDefinitions(std::function<void()> change, bool redisplay)
{
    runner_.BetweenSteps(this, [this, change = std::move(change), redisplay] {
        try {
            change();
        } catch (const Error& e) {
            ShowError(this, Q(e.what()));
            return;
        }
        if (redisplay) ShowDefinitions();
    });
}

void TDisturbanceAgeFilterForm::ApplyDefinitions()
{
    ChangeDefinitions([this] { ApplyStateDefFields(model_.StateDefs, stateDefs_->Fields()); }, true);
}

void TDisturbanceAgeFilterForm::LoadDefinitions()
{
    const QString path = ChooseFile(loadDialog_);
    if (!path.isEmpty()) ChangeDefinitions([this, path] { LoadStateDefs(model_.StateDefs, path.toStdString()); }, true);
}

void TDisturbanceAgeFilterForm::SaveDefinitions()
{
    const QString path = ChooseFile(saveDialog_);
    if (!path.isEmpty()) ChangeDefinitions([this, path] { SaveStateDefs(model_.StateDefs, path.toStdString()); }, false);
}

} // namespace marovi::app
