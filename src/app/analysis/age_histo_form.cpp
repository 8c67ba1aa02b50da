#include "analysis/age_histo_form.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "analysis/chart_texts.h"
#include "analysis/histogram.h"
#include "chart_view.h"
#include "files/safe_file.h"
#include "messages.h"
#include "model/model.h"
#include "step_runner.h"
#include "widgets/chart_tools.h"
#include "widgets/named.h"
#include "view/roi_form.h"

namespace marovi::app {

namespace {

QToolButton* Arrow(const char* name, Qt::ArrowType type)
{
    auto* button = Named(new QToolButton, name);
    button->setArrowType(type);
    button->setFixedSize(22, 14);
    return button;
}

// The class labels as axis categories, which must differ: a label met before gets a
// trailing blank per repetition, which does not show.
QStringList Categories(const std::vector<std::string>& labels)
{
    QStringList categories;
    for (const std::string& label : labels) {
        QString c = QString::fromStdString(label);
        while (categories.contains(c)) c += QLatin1Char(' ');
        categories << c;
    }
    return categories;
}

} // namespace

TAgeHistoForm::TAgeHistoForm(TStepRunner& runner, const TROIForm* roi, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), roi_(roi)
{
    setObjectName(QStringLiteral("AgeHistoForm"));
    setWindowTitle(QStringLiteral("age histogram"));

    Edit1_ = Named(new QLineEdit, "Edit1");
    Edit1_->setReadOnly(true);
    Edit1_->setMinimumWidth(140);
    auto* UpDown1 = Named(new QWidget, "UpDown1");
    auto* arrows = new QVBoxLayout(UpDown1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto* up = Arrow("UpDown1Up", Qt::UpArrow);
    auto* down = Arrow("UpDown1Down", Qt::DownArrow);
    arrows->addWidget(up);
    arrows->addWidget(down);
    SlotEdit_ = Named(new QLineEdit(QStringLiteral("15")), "SlotEdit");
    Edit2_ = Named(new QLineEdit, "Edit2");
    for (QLineEdit* e : {SlotEdit_, Edit2_}) e->setMaximumWidth(60);
    auto* update = Named(new QPushButton(QStringLiteral("update")), "UpdateButton");
    AgeRadioButton_ = Named(new QRadioButton(QStringLiteral("age histogram")), "AgeRadioButton");
    AgeRadioButton_->setChecked(true);
    SizeRadioButton_ = Named(new QRadioButton(QStringLiteral("size histogram")), "SizeRadioButton");
    LogScaleCheckBox_ = Named(new QCheckBox(QStringLiteral("y log scale")), "LogScaleCheckBox");
    auto* save = Named(new QPushButton(QStringLiteral("save")), "SaveButton");
    Label2_ = Named(new QLabel, "Label2");
    Label2_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* row1 = new QHBoxLayout;
    row1->addWidget(new QLabel(QStringLiteral("species")));
    row1->addWidget(Edit1_);
    row1->addWidget(UpDown1);
    row1->addSpacing(12);
    row1->addWidget(new QLabel(QStringLiteral("slots")));
    row1->addWidget(SlotEdit_);
    row1->addWidget(new QLabel(QStringLiteral("max age")));
    row1->addWidget(Edit2_);
    row1->addWidget(update);
    row1->addStretch();
    auto* row2 = new QHBoxLayout;
    row2->addWidget(AgeRadioButton_);
    row2->addWidget(SizeRadioButton_);
    row2->addSpacing(12);
    row2->addWidget(LogScaleCheckBox_);
    row2->addStretch();
    row2->addWidget(save);

    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("age histogram"));
    chart_->legend()->hide();
    chart_->setMargins(QMargins(2, 2, 2, 2));
    auto* bars = new QBarSet(QStringLiteral("Series1"));
    bars->setColor(Qt::red);
    bars->setBorderColor(Qt::darkRed);
    Series1_ = new QBarSeries;
    Series1_->append(bars);
    Series1_->setBarWidth(0.8);
    Series2_ = new QLineSeries;
    Series2_->setPen(QPen(Qt::black, 1.5));
    chart_->addSeries(Series1_);
    chart_->addSeries(Series2_);
    classes_ = new QBarCategoryAxis;
    classes_->setTitleText(QStringLiteral("ageclass"));
    linear_ = new QValueAxis;
    linear_->setLabelFormat(QStringLiteral("%g"));
    log_ = new QLogValueAxis;
    log_->setLabelFormat(QStringLiteral("%g"));
    log_->setMinorTickCount(-1);
    log_->setMinorGridLineVisible(false);
    right_ = new QValueAxis;
    SetFixedAxisRange(right_, 0, 1.02, {.Interval = 0.1});
    right_->setLabelFormat(QStringLiteral("%.1f"));
    right_->setTitleText(QStringLiteral("N [%, cumulative]"));
    right_->setGridLineVisible(false); // the left axis draws the grid
    chart_->addAxis(classes_, Qt::AlignBottom);
    chart_->addAxis(linear_, Qt::AlignLeft);
    chart_->addAxis(right_, Qt::AlignRight);
    Series1_->attachAxis(classes_);
    Series1_->attachAxis(linear_);
    Series2_->attachAxis(classes_);
    Series2_->attachAxis(right_);
    Chart1_ = Named(new TChartView(chart_), "Chart1");
    Chart1_->setMinimumSize(480, 300);
    connect(chart_, &QChart::plotAreaChanged, this, &TAgeHistoForm::FitClassLabels);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row1);
    layout->addLayout(row2);
    layout->addWidget(Chart1_, 1);
    layout->addWidget(Label2_);
    resize(760, 540);

    SaveDialog1_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("textfiles (*.txt)"), QStringLiteral("txt"));

    connect(up, &QToolButton::clicked, this, [this] { StepSpecies(+1); });
    connect(down, &QToolButton::clicked, this, [this] { StepSpecies(-1); });
    connect(update, &QPushButton::clicked, this, &TAgeHistoForm::UpdateClicked);
    for (QRadioButton* r : {AgeRadioButton_, SizeRadioButton_})
        connect(r, &QRadioButton::clicked, this, [this] { UpdateHistogram(); });
    connect(LogScaleCheckBox_, &QCheckBox::toggled, this, &TAgeHistoForm::SetLogScale);
    connect(save, &QPushButton::clicked, this, &TAgeHistoForm::SaveClicked);

    // Species 0 with its proposed maximum age, the bins as "slots" says.
    runner_.BetweenSteps(this, [this] { ShowSpecies(); });
    UpdateClicked();
}

TAgeHistoForm::~TAgeHistoForm()
{
    // The value axis not in use belongs to no chart.
    if (chart_->axes().contains(log_)) delete linear_;
    else delete log_;
}

void TAgeHistoForm::ShowSpecies()
{
    const Model& m = runner_.model();
    species_ = std::clamp(species_, 0, m.SpeciesMax);
    Edit1_->setText(QString::fromStdString(m.SpeciesPool[static_cast<size_t>(species_)].Name));
    Edit2_->setText(QString::fromStdString(HistogramMaxAgeText(m, species_)));
}

void TAgeHistoForm::StepSpecies(int delta)
{
    runner_.BetweenSteps(this, [this, delta] {
        species_ += delta;
        ShowSpecies();
    });
    UpdateHistogram();
}

void TAgeHistoForm::UpdateClicked()
{
    if (!Attempt(this, [this] { slots_ = HistogramSlotsOf(SlotEdit_->text().toStdString()); })) return;
    UpdateHistogram();
}

void TAgeHistoForm::UpdateHistogram(bool quiet)
{
    runner_.BetweenSteps(this, [this, quiet] {
        const Model& m = runner_.model();
        species_ = std::clamp(species_, 0, m.SpeciesMax);
        Edit1_->setText(QString::fromStdString(m.SpeciesPool[static_cast<size_t>(species_)].Name));
        Series1_->barSets().constFirst()->remove(0, Series1_->barSets().constFirst()->count());
        Series2_->clear();
        std::optional<THistogramRegion> region;
        if (roi_ && roi_->RoiActive())
            region = THistogramRegion{roi_->RoiX0(), roi_->RoiY0(), roi_->RoiX1(), roi_->RoiY1()};
        const bool size = SizeRadioButton_->isChecked();
        THistogramRequest r;
        THistogram h;
        try {
            r = HistogramRequestOf(m, species_, Edit2_->text().toStdString(), slots_, size, region);
            h = ComputeHistogram(m, r);
        } catch (const std::exception& e) {
            if (!quiet) ShowError(this, QString::fromStdString(e.what()));
            return;
        }
        listLines_ = HistogramListLines(m, r, h);
        QStringList title;
        for (const std::string& line : HistogramTitle(m, species_, size)) title << QString::fromStdString(line).toHtmlEscaped();
        Draw(h, title.join(QStringLiteral("<br>")));
    });
}

void TAgeHistoForm::Draw(const THistogram& h, const QString& title)
{
    chart_->setTitle(title);
    classes_->setCategories(Categories(h.BarLabels));
    QBarSet* bars = Series1_->barSets().constFirst();
    int highest = 0;
    for (int b : h.Bins) {
        bars->append(b);
        highest = std::max(highest, b);
    }
    QList<QPointF> points;
    for (size_t k = 0; k < h.Cumulative.size(); ++k) points.append(QPointF(static_cast<double>(k), h.Cumulative[k]));
    Series2_->replace(points);
    // Counts of individuals: whole numbers.
    SetAxisRange(linear_, 0, std::max(highest, 1), WholeNumberTicks);
    SetAxisRange(log_, 0.5, std::max(highest, 1) * 2.0);
    Label2_->setText(QString::fromStdString(h.Summary));
    FitClassLabels();
}

// The class labels stand upright where they would not fit side by side.
void TAgeHistoForm::FitClassLabels()
{
    const QFontMetrics metrics(classes_->labelsFont());
    int widest = 0;
    for (const QString& label : classes_->categories()) widest = std::max(widest, metrics.horizontalAdvance(label));
    const bool fit = classes_->count() * (widest + 4) <= chart_->plotArea().width();
    classes_->setLabelsAngle(fit ? 0 : -90);
}

void TAgeHistoForm::SetLogScale(bool log)
{
    QAbstractAxis* from = log ? static_cast<QAbstractAxis*>(linear_) : log_;
    QAbstractAxis* to = log ? static_cast<QAbstractAxis*>(log_) : linear_;
    Series1_->detachAxis(from);
    chart_->removeAxis(from);
    chart_->addAxis(to, Qt::AlignLeft);
    Series1_->attachAxis(to);
}

void TAgeHistoForm::SaveClicked()
{
    if (listLines_.empty()) return;
    const QString path = ChooseFile(SaveDialog1_);
    if (!path.isEmpty()) Attempt(this, [&] { WriteTextLines(path.toStdString(), listLines_); });
}

void TAgeHistoForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        runner_.BetweenSteps(this, [this] { setWindowTitle(QString::fromStdString(AnalysisCaption(runner_.model()))); });
        // Activation happens often (also after a message box): a field that is not a number
        // is reported only by the controls.
        UpdateHistogram(true);
    }
    QWidget::changeEvent(event);
}

} // namespace marovi::app
