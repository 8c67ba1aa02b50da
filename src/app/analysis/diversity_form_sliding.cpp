// The sliding box tab of the "Diversity" window.
#include <QButtonGroup>
#include <QChart>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include "analysis/chart_texts.h"
#include "analysis/diversity_form.h"
#include "analysis/sliding_box.h"
#include "chart_view.h"
#include "messages.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "widgets/chart_tools.h"
#include "widgets/named.h"

namespace marovi::app {

QWidget* TDiversityForm::BuildSlidingBoxTab()
{
    SampleCountEdit_ = Named(new QLineEdit(QStringLiteral("25")), "SampleCountEdit");
    RepCountEdit_ = Named(new QLineEdit(QStringLiteral("25")), "RepCountEdit");
    IncreaseByEdit_ = Named(new QLineEdit(QStringLiteral("20")), "IncreaseByEdit");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("no. sample steps"), SampleCountEdit_);
    form->addRow(QStringLiteral("replicates per sample"), RepCountEdit_);
    form->addRow(QStringLiteral("increase sample area by"), IncreaseByEdit_);
    for (QLineEdit* e : {SampleCountEdit_, RepCountEdit_, IncreaseByEdit_}) e->setMaximumWidth(80);
    auto* group = new QButtonGroup(this);
    SpeciesRadioButton_2_ = Named(new QRadioButton(QStringLiteral("species")), "SpeciesRadioButton_2");
    StateRadioButton_2_ = Named(new QRadioButton(QStringLiteral("states")), "StateRadioButton_2");
    group->addButton(SpeciesRadioButton_2_);
    group->addButton(StateRadioButton_2_);
    SpeciesRadioButton_2_->setChecked(true);
    ReciprocalCheckBox_ = Named(new QCheckBox(QStringLiteral("display reciprocal ")), "ReciprocalCheckBox");
    auto* Button1 = Named(new QPushButton(QStringLiteral("calc")), "Button1");
    auto* Button2 = Named(new QPushButton(QStringLiteral("reset chart")), "Button2");

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(SpeciesRadioButton_2_);
    left->addWidget(StateRadioButton_2_);
    left->addWidget(ReciprocalCheckBox_);
    left->addWidget(Button1);
    left->addWidget(Button2);
    left->addStretch();

    slidingChart_ = new QChart;
    slidingChart_->setTitle(QStringLiteral("shannon diversity over variing area parts"));
    slidingX_ = new QValueAxis;
    slidingY_ = new QValueAxis;
    slidingX_->setTitleText(QStringLiteral("sqrt(sampled area)"));
    slidingChart_->addAxis(slidingX_, Qt::AlignBottom);
    slidingChart_->addAxis(slidingY_, Qt::AlignLeft);
    for (QValueAxis* axis : {slidingX_, slidingY_}) axis->setLabelFormat(QStringLiteral("%g"));
    auto add = [this](const char* title) {
        auto* s = new QLineSeries;
        s->setName(QString::fromLatin1(title));
        s->setPointsVisible(true);
        slidingChart_->addSeries(s);
        s->attachAxis(slidingX_);
        s->attachAxis(slidingY_);
        return s;
    };
    average_ = add("average");
    min_ = add("min");
    max_ = add("max");
    slidingChart_->legend()->setAlignment(Qt::AlignBottom);
    auto* Chart1 = Named(new TChartView(slidingChart_), "Chart1");
    SetAxisRange(slidingX_, 0, 1);
    SetFixedAxisRange(slidingY_, slidingBoxMin_, 1);

    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    layout->addLayout(left);
    layout->addWidget(Chart1, 1);
    connect(Button1, &QPushButton::clicked, this, &TDiversityForm::CalcSlidingBox);
    connect(Button2, &QPushButton::clicked, this, &TDiversityForm::ResetSlidingBoxChart);
    return tab;
}

void TDiversityForm::CalcSlidingBox()
{
    if (Busy()) return;
    TSlidingBoxEntries entries;
    try {
        entries = ReadSlidingBoxEntries(SampleCountEdit_->text().toStdString(), RepCountEdit_->text().toStdString(),
                                        IncreaseByEdit_->text().toStdString());
    } catch (const Error& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    const int steps = entries.Steps, replicates = entries.Replicates, increase = entries.Increase;
    const bool byState = StateRadioButton_2_->isChecked(), reciprocal = ReciprocalCheckBox_->isChecked();
    for (QLineSeries* s : {average_, min_, max_}) s->clear();
    auto points = std::make_shared<std::vector<TSlidingBoxPlot>>();
    auto title = std::make_shared<std::string>();
    Submit(
        [=](Model& m) {
            *points = SlidingBoxPlot(SlidingBoxDiversity(m, steps, replicates, increase, byState), reciprocal);
            *title = SlidingBoxTitle(m, reciprocal);
        },
        [this, points, title] {
            slidingChart_->setTitle(QString::fromStdString(*title));
            slidingY_->setTitleText(QString::fromStdString(*title));
            for (const TSlidingBoxPlot& p : *points) {
                if (p.Average) average_->append(p.X, *p.Average);
                if (p.Min) min_->append(p.X, *p.Min);
                if (p.Max) max_->append(p.X, *p.Max);
            }
            const QList<QXYSeries*> all{average_, min_, max_};
            if (const auto x = PointRange(all, Qt::Horizontal)) SetAxisRange(slidingX_, x->first, x->second, WholeNumberTicks);
            // The value axis keeps its minimum and scales its maximum.
            if (const auto y = PointRange(all, Qt::Vertical))
                SetAxisRange(slidingY_, slidingBoxMin_, std::max(y->second, slidingBoxMin_), {.RoundMin = false});
        });
}

// Scales the value axis to the curves once, and keeps the minimum found.
void TDiversityForm::ResetSlidingBoxChart()
{
    const auto y = PointRange({average_, min_, max_}, Qt::Vertical);
    if (!y) return;
    SetAxisRange(slidingY_, y->first, y->second);
    slidingBoxMin_ = slidingY_->min();
}

} // namespace marovi::app
