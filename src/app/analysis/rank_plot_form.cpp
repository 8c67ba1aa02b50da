#include "analysis/rank_plot_form.h"

#include <QChart>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QPainter>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/chart_texts.h"
#include "chart_view.h"
#include "messages.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/format.h"
#include "widgets/chart_tools.h"
#include "widgets/chart_clicks.h"
#include "widgets/named.h"
#include "widgets/shown_text.h"

namespace marovi::app {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QCheckBox* Check(const char* name, const char* caption, bool checked = false)
{
    auto* box = Named(new QCheckBox(QString::fromLatin1(caption)), name);
    box->setChecked(checked);
    return box;
}

// A corner field; a text that is not an integer stands for `otherwise`.
int Corner(const QLineEdit* edit, int otherwise)
{
    int v = 0;
    return ParseInt(edit->text().toStdString(), v) ? v : otherwise;
}

double SegmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

QAbstractAxis* MakeAxis(bool logarithmic)
{
    QAbstractAxis* axis = logarithmic ? static_cast<QAbstractAxis*>(new QLogValueAxis) : new QValueAxis;
    if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
        log->setLabelFormat(QStringLiteral("%g"));
        log->setMinorTickCount(8);
    }
    else static_cast<QValueAxis*>(axis)->setLabelFormat(QStringLiteral("%g"));
    return axis;
}

} // namespace

TRankPlotForm::TRankPlotForm(TStepRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model())
{
    setObjectName(QStringLiteral("RankPlotForm"));
    setWindowTitle(QStringLiteral("rank plot "));

    ListBox1_ = Named(new QListWidget, "ListBox1");
    ListBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    NameEdit_ = Named(new QLineEdit(QStringLiteral("test")), "NameEdit");
    x1Edit_ = Named(new QLineEdit(QStringLiteral("0")), "x1Edit");
    y1Edit_ = Named(new QLineEdit(QStringLiteral("0")), "y1Edit");
    x2Edit_ = Named(new QLineEdit, "x2Edit");
    y2Edit_ = Named(new QLineEdit, "y2Edit");
    runner_.BetweenSteps(this, [this] {
        x2Edit_->setText(QString::number(model_.XMax));
        y2Edit_->setText(QString::number(model_.YMax));
    });
    for (QLineEdit* e : {x1Edit_, y1Edit_, x2Edit_, y2Edit_}) e->setMaximumWidth(60);
    auto* areas = new QGroupBox(QStringLiteral("sampe areas"));
    auto* areaLayout = new QGridLayout(areas);
    areaLayout->addWidget(ListBox1_, 0, 0, 1, 4);
    areaLayout->addWidget(new QLabel(QStringLiteral("name")), 1, 0);
    areaLayout->addWidget(NameEdit_, 1, 1, 1, 3);
    areaLayout->addWidget(new QLabel(QStringLiteral("x1/y1")), 2, 0);
    areaLayout->addWidget(x1Edit_, 2, 1);
    areaLayout->addWidget(y1Edit_, 2, 2);
    areaLayout->addWidget(new QLabel(QStringLiteral("x2/y2")), 3, 0);
    areaLayout->addWidget(x2Edit_, 3, 1);
    areaLayout->addWidget(y2Edit_, 3, 2);
    auto* add = NamedButton("AddButton", "add");
    auto* remove = NamedButton("DeleteButton", "delete");
    auto* random = NamedButton("RandomButton", "random");
    auto* import = NamedButton("ImportButton", "import disturbances");
    areaLayout->addWidget(add, 4, 0);
    areaLayout->addWidget(remove, 4, 1);
    areaLayout->addWidget(random, 4, 2);
    areaLayout->addWidget(import, 5, 0, 1, 3);

    LogYCheckBox_ = Check("LogYCheckBox", "log abundances (y-axis)");
    LogXCheckBox_ = Check("LogXCheckBox", "log rank (x-axis)");
    RelativeCheckBox_ = Check("RelativeCheckBox", "relative abundances (y-axis)");
    MinYCheckBox_ = Check("MinYCheckBox", "min(y)=0");
    CumulativeCheckBox_ = Check("CumulativeCheckBox", "cumulative abundance (k-dominance)");
    ShowFileNameCheckBox_ = Check("ShowFileNameCheckBox", "show filename", true);
    ShowRanksCheckBox_ = Check("ShowRanksCheckBox", "show ranks", true);
    auto* plot = NamedButton("PlotButton", "plot rank list");
    auto* details = new QGroupBox(QStringLiteral("plot details"));
    auto* detailsLayout = new QVBoxLayout(details);
    for (QCheckBox* c : {LogYCheckBox_, LogXCheckBox_, RelativeCheckBox_, MinYCheckBox_, CumulativeCheckBox_,
                         ShowFileNameCheckBox_, ShowRanksCheckBox_})
        detailsLayout->addWidget(c);
    detailsLayout->addWidget(plot);

    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("rank abundance plot"));
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->setMargins(QMargins(2, 2, 2, 2));
    linearX_ = MakeAxis(false);
    logX_ = MakeAxis(true);
    linearY_ = MakeAxis(false);
    logY_ = MakeAxis(true);
    for (QAbstractAxis* axis : {linearX_, logX_}) {
        axis->setTitleText(QStringLiteral("species rank"));
        chart_->addAxis(axis, Qt::AlignBottom);
    }
    for (QAbstractAxis* axis : {linearY_, logY_}) chart_->addAxis(axis, Qt::AlignLeft);
    // All four stay in the chart (a removed axis may still be drawn); the unused ones hide.
    logX_->setVisible(false);
    logY_->setVisible(false);
    Chart1_ = Named(new TChartView(chart_), "Chart1");
    Chart1_->setMinimumSize(420, 300);
    Chart1_->SetAfterDraw([this](QPainter& p) { DrawRankLists(p); });
    connect(new TChartClicks(Chart1_), &TChartClicks::Clicked, this, &TRankPlotForm::SeriesClicked);

    auto* left = new QVBoxLayout;
    left->addWidget(areas);
    left->addWidget(details);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(Chart1_, 1);
    resize(1000, 640);

    connect(add, &QPushButton::clicked, this, &TRankPlotForm::AddClicked);
    connect(remove, &QPushButton::clicked, this, &TRankPlotForm::DeleteClicked);
    connect(random, &QPushButton::clicked, this, &TRankPlotForm::RandomClicked);
    connect(import, &QPushButton::clicked, this, &TRankPlotForm::ImportClicked);
    connect(plot, &QPushButton::clicked, this, &TRankPlotForm::PlotClicked);
}

void TRankPlotForm::ClearSampleAreas()
{
    areas_.clear();
    ShowAreas();
    chart_->removeAllSeries();
    series_.clear();
    rankNames_.clear();
    messages_.clear();
    runner_.BetweenSteps(this, [this] {
        x2Edit_->setText(QString::number(model_.XMax));
        y2Edit_->setText(QString::number(model_.YMax));
    });
}

void TRankPlotForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) runner_.BetweenSteps(this, [this] {
            setWindowTitle(Q(AnalysisCaption(model_)));
            ShowTitle();
        });
    QWidget::changeEvent(event);
}

void TRankPlotForm::ShowTitle()
{
    chart_->setTitle(ChartTitle(RankChartTitle(model_, ShowFileNameCheckBox_->isChecked())));
}

void TRankPlotForm::ShowAreas()
{
    ListBox1_->clear();
    for (const tSampleAreaDef& a : areas_) ListBox1_->addItem(Q(SampleAreaText(a)));
}

void TRankPlotForm::AddClicked()
{
    runner_.BetweenSteps(this, [this] {
        AddSampleArea(model_, areas_, NameEdit_->text().toStdString(), Corner(x1Edit_, 0), Corner(y1Edit_, 0),
                      Corner(x2Edit_, model_.XMax), Corner(y2Edit_, model_.YMax));
        ShowAreas();
    });
}

void TRankPlotForm::RandomClicked()
{
    runner_.BetweenSteps(this, [this] {
        AddRandomSampleArea(model_, areas_);
        ShowAreas();
    });
}

void TRankPlotForm::ImportClicked()
{
    runner_.BetweenSteps(this, [this] {
        AddDisturbanceSampleAreas(model_, areas_);
        ShowAreas();
    });
}

void TRankPlotForm::DeleteClicked()
{
    const int row = ListBox1_->currentRow();
    if (row < 0 || row >= static_cast<int>(areas_.size()) || ListBox1_->selectedItems().isEmpty()) return;
    areas_.erase(areas_.begin() + row);
    ShowAreas();
}

void TRankPlotForm::PlotClicked()
{
    runner_.BetweenSteps(this, [this] {
        const bool relative = RelativeCheckBox_->isChecked(), cumulative = CumulativeCheckBox_->isChecked();
        const bool logX = LogXCheckBox_->isChecked(), logY = LogYCheckBox_->isChecked();
        chart_->removeAllSeries();
        series_.clear();
        rankNames_.clear();
        messages_.clear();
        QAbstractAxis* axisX = logX ? logX_ : linearX_;
        QAbstractAxis* axisY = logY ? logY_ : linearY_;
        for (QAbstractAxis* axis : {linearX_, logX_, linearY_, logY_}) axis->setVisible(axis == axisX || axis == axisY);
        axisY->setTitleText(Q(RankAxisTitle(relative, cumulative)));

        for (tSampleAreaDef& a : areas_) {
            CalcRankList(model_, a);
            auto* s = new QLineSeries;
            s->setName(Q(a.name));
            s->setPointsVisible(true);
            const std::vector<double> values = RankPlotValues(model_, a, relative, cumulative);
            for (size_t r = 0; r < values.size(); ++r) {
                // A logarithmic axis has no place for 0: the ranks count from 1 there, and
                // zero values are left out.
                const double x = logX ? static_cast<double>(r) + 1 : static_cast<double>(r);
                if (!(logY && values[r] <= 0)) s->append(x, values[r]);
            }
            chart_->addSeries(s);
            s->attachAxis(axisX);
            s->attachAxis(axisY);
            series_.push_back(s);
            rankNames_.push_back(RankNames(model_, a));
            messages_.push_back(RankClickMessage(model_, a));
        }
        const QList<QXYSeries*> all(series_.begin(), series_.end());
        const auto xr = PointRange(all, Qt::Horizontal);
        const auto yr = PointRange(all, Qt::Vertical);
        // Ranks are whole numbers.
        SetAxisRange(axisX, xr ? xr->first : 0, xr ? xr->second : 1, WholeNumberTicks);
        const bool fromZero = MinYCheckBox_->isChecked() && !logY;
        SetAxisRange(axisY, fromZero || !yr ? 0 : yr->first, yr ? yr->second : 1);
        ShowTitle();
    });
}

// The species of every area in rank order, from beside the first curve's start: each list
// 5 pixels right of the one before and below it, wrapped at the plot's right edge. Where the
// lists would run out at the plot's bottom, all of them move up.
void TRankPlotForm::DrawRankLists(QPainter& painter)
{
    if (series_.empty() || !ShowRanksCheckBox_->isChecked() || series_.front()->count() == 0) return;
    painter.translate(chart_->pos());
    const QRectF plot = chart_->plotArea();
    painter.setClipRect(plot);
    QFont font = painter.font();
    font.setPointSize(8);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    constexpr double MinWidth = 120; // a list never gets narrower
    QPointF p = chart_->mapToPosition(series_.front()->at(0), series_.front()) + QPointF(10, 0);
    // Lines break between names, not inside one.
    QStringList lists;
    for (const std::string& names : rankNames_)
        lists << Q(names).replace(QLatin1Char(' '), QChar(0xA0)).replace(QStringLiteral(",\u00A0"), QStringLiteral(", "));
    std::vector<QRectF> places;
    for (const QString& names : lists) {
        p += QPointF(5, 0);
        const double left = std::clamp(p.x(), plot.left(), std::max(plot.left(), plot.right() - MinWidth));
        const QRectF room(left, p.y() + 15, plot.right() - left, 1e6);
        const QRectF text = metrics.boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, names);
        places.emplace_back(room.left(), room.top(), room.width(), text.height());
        p.setY(std::max(p.y() + 15, room.top() + text.height() - 15));
    }
    const double overrun = places.back().bottom() - plot.bottom();
    const double shift = std::min(std::max(overrun, 0.0), std::max(places.front().top() - plot.top(), 0.0));
    for (size_t k = 0; k < series_.size() && k < places.size(); ++k) {
        painter.setPen(series_[k]->color());
        painter.drawText(places[k].translated(0, -shift), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, lists[static_cast<int>(k)]);
    }
}

// A click near a curve names the area and its species in rank order.
void TRankPlotForm::SeriesClicked(QPointF position)
{
    constexpr double Tolerance = 5;
    for (size_t k = 0; k < series_.size(); ++k) {
        const QList<QPointF> points = series_[k]->points();
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QPointF a = chart_->mapToPosition(points[i], series_[k]);
            const QPointF b = chart_->mapToPosition(points[std::min(i + 1, points.size() - 1)], series_[k]);
            if (SegmentDistance(position, a, b) <= Tolerance) {
                ShowMessage(this, QStringLiteral("MAROVI"), ShownText(messages_[k]));
                return;
            }
        }
    }
}

} // namespace marovi::app
