#include "editors/land_edit_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "editors/capacity_chart.h"
#include "editors/edit_flow_grid_form.h"
#include "landscape/landscape.h"
#include "landscape/landscape_editor.h"
#include "messages.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "widgets/committed_field.h"
#include "widgets/named.h"
#include "widgets/rgb_image.h"

namespace marovi::app {

namespace {

template <class W>
W* Hinted(W* widget, const char* hint)
{
    if (hint) widget->setToolTip(QString::fromLatin1(hint));
    return widget;
}

QLineEdit* Edit(const char* name, const char* hint = nullptr)
{
    auto* edit = Hinted(Named(new QLineEdit, name), hint);
    edit->setMaximumWidth(90);
    return edit;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Runs the conversion of what the user typed into the field of that caption (none: the
// message names the fields itself); false, after showing why, when it fails.
template <class F>
bool Converted(QWidget* window, const char* caption, F&& conversion)
{
    try {
        conversion();
        return true;
    } catch (const Error& e) {
        ShowError(window, QString::fromStdString(caption ? FieldMessage(caption, e.what()) : std::string(e.what())));
        return false;
    }
}

// The pixels of an image as the landscape reads them: transparent parts count as white.
TGreyImage GreyImageOf(const QImage& image)
{
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter(&opaque).drawImage(0, 0, image);
    TGreyImage grey{opaque.width(), opaque.height(), {}};
    grey.Pixels.reserve(static_cast<size_t>(grey.Width) * static_cast<size_t>(grey.Height));
    for (int row = 0; row < grey.Height; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(opaque.constScanLine(row));
        for (int col = 0; col < grey.Width; ++col) grey.Pixels.push_back(line[col] & 0xFFFFFFu);
    }
    return grey;
}

QString ImageFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("bitmaps (*.bmp);;images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

TLandEditForm::TLandEditForm(TStepRunner& runner, TEditFlowGridForm* flowGridForm, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model()), flowGridForm_(flowGridForm)
{
    setObjectName(QStringLiteral("LandEditForm"));
    setWindowTitle(QStringLiteral("landscape editor"));

    Chart1_ = Named(new TCapacityChart, "Chart1");

    auto* size = new QGroupBox(QStringLiteral("grid"));
    auto* sizeLayout = new QGridLayout(size);
    XdimEdit_ = Edit("XdimEdit", "simulation grid dimension");
    ydimEdit_ = Edit("ydimEdit", "simulation grid dimension");
    sizeLayout->addWidget(new QLabel(QStringLiteral("x")), 0, 0);
    sizeLayout->addWidget(XdimEdit_, 0, 1);
    sizeLayout->addWidget(new QLabel(QStringLiteral("y")), 0, 2);
    sizeLayout->addWidget(ydimEdit_, 0, 3);
    auto* NewButton = NamedButton("NewButton", "new landscape");
    sizeLayout->addWidget(NewButton, 1, 0, 1, 4);
    periodicBoundaryCheckBox_ = Named(new QCheckBox(QStringLiteral("periodic boundary conditions")), "periodicBoundaryCheckBox");
    sizeLayout->addWidget(periodicBoundaryCheckBox_, 2, 0, 1, 4);

    auto* capacities = new QGroupBox(QStringLiteral("capacities"));
    auto* capacityLayout = new QGridLayout(capacities);
    HiCEdit_ = Edit("HiCEdit", "individuals a high capacity cell can support ");
    LoCEdit_ = Edit("LoCEdit", "individuals a low capacity cell can support ");
    pHiEdit_ = Edit("pHiEdit");
    pLoEdit_ = Edit("pLoEdit");
    capacityLayout->addWidget(new QLabel(QStringLiteral("high")), 0, 0);
    capacityLayout->addWidget(HiCEdit_, 0, 1);
    capacityLayout->addWidget(new QLabel(QStringLiteral("p(HI)")), 0, 2);
    capacityLayout->addWidget(pHiEdit_, 0, 3);
    capacityLayout->addWidget(new QLabel(QStringLiteral("low")), 1, 0);
    capacityLayout->addWidget(LoCEdit_, 1, 1);
    capacityLayout->addWidget(new QLabel(QStringLiteral("P(Lo)")), 1, 2);
    capacityLayout->addWidget(pLoEdit_, 1, 3);

    auto* generators = new QGroupBox(QStringLiteral("assign capacities"));
    auto* generatorLayout = new QGridLayout(generators);
    auto* randomButton = NamedButton("randomButton", "random lanscape", "assign capacities randomly");
    auto* fraktButton = NamedButton("fraktButton", "fractal landscape");
    contineousCheckBox_ = Named(new QCheckBox(QStringLiteral("discrete levels")), "contineousCheckBox");
    auto* loadButton = NamedButton("loadButton", "load landscape image", "assign capacity according to gray values from a bitmap");
    generatorLayout->addWidget(randomButton, 0, 0, 1, 2);
    generatorLayout->addWidget(fraktButton, 1, 0, 1, 2);
    generatorLayout->addWidget(contineousCheckBox_, 2, 0);
    generatorLayout->addWidget(new QLabel(QStringLiteral("experimental")), 2, 1);
    generatorLayout->addWidget(loadButton, 3, 0, 1, 2);

    auto* paint = new QGroupBox(QStringLiteral("paint"));
    auto* paintLayout = new QGridLayout(paint);
    setCEdit_ = Edit("setCEdit");
    auto* MouseButton = NamedButton("MouseButton", "set!");
    paintLayout->addWidget(new QLabel(QStringLiteral("set capacity")), 0, 0);
    paintLayout->addWidget(setCEdit_, 0, 1);
    paintLayout->addWidget(MouseButton, 0, 2);
    paintLayout->addWidget(new QLabel(QStringLiteral("(select with mouse)")), 1, 0, 1, 3);

    auto* EditFlowGridButton = NamedButton("EditFlowGridButton", "edit flow grid", "define flow direction and speed");

    auto* controls = new QVBoxLayout;
    controls->addWidget(size);
    controls->addWidget(capacities);
    controls->addWidget(generators);
    controls->addWidget(paint);
    controls->addWidget(EditFlowGridButton);
    controls->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Chart1_, 1);
    layout->addLayout(controls);
    resize(900, 620);

    BitmapOpenDialog_ = MakeFileDialog(this, "BitmapOpenDialog", false, ImageFilter(), QStringLiteral("bmp"));

    connect(NewButton, &QPushButton::clicked, this, &TLandEditForm::NewLandscapeClicked);
    connect(randomButton, &QPushButton::clicked, this,
            [this] { Generate([](Model& m) { RandomLandscape(m, m.HighCapacityProb); }); });
    connect(fraktButton, &QPushButton::clicked, this, [this] {
        const bool discrete = contineousCheckBox_->isChecked();
        Generate([discrete](Model& m) { FractalLandscape(m, m.HighCapacity, m.LowCapacity, discrete, m.HighCapacityProb); });
    });
    connect(loadButton, &QPushButton::clicked, this, &TLandEditForm::LoadImageClicked);
    CommitFields();
    connect(periodicBoundaryCheckBox_, &QCheckBox::clicked, this,
            [this](bool checked) { runner_.BetweenSteps(this, [this, checked] { model_.Torus = checked; }); });
    connect(MouseButton, &QPushButton::clicked, Chart1_, &TCapacityChart::ArmPainting);
    connect(Chart1_, &TCapacityChart::RectanglePainted, this, &TLandEditForm::RectanglePainted);
    connect(EditFlowGridButton, &QPushButton::clicked, this, &TLandEditForm::EditFlowGridClicked);
}

void TLandEditForm::showEvent(QShowEvent* event)
{
    runner_.BetweenSteps(this, [this] { FillOnShow(); });
    QWidget::showEvent(event);
}

void TLandEditForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runner_.BetweenSteps(this, [this] { setWindowTitle(QStringLiteral("file %1").arg(Text(model_.FileName))); });
    QWidget::changeEvent(event);
}

void TLandEditForm::Refresh()
{
    if (isVisible()) runner_.BetweenSteps(this, [this] { FillOnShow(); });
}

void TLandEditForm::FillOnShow()
{
    const TLandscapeEntries e = LandscapeEntriesOf(model_);
    XdimEdit_->setText(Text(e.XDim));
    ydimEdit_->setText(Text(e.YDim));
    HiCEdit_->setText(Text(e.HighCapacity));
    LoCEdit_->setText(Text(e.LowCapacity));
    pHiEdit_->setText(Text(e.HighProb));
    pLoEdit_->setText(Text(e.LowProb));
    setCEdit_->setText(Text(e.SetCapacity));
    RedrawChart();
    Chart1_->DisarmPainting();
    periodicBoundaryCheckBox_->setChecked(model_.Torus);
}

void TLandEditForm::RedrawChart()
{
    if (model_.HasGrid()) Chart1_->SetCells(CapacityImage(model_));
}

void TLandEditForm::Generate(std::function<void(Model&)> generator)
{
    // The result lives apart from the window, which may close while the worker runs.
    auto image = std::make_shared<TRgbImage>();
    runner_.Submit(
        this,
        [generator = std::move(generator), image](Model& m) {
            generator(m);
            *image = CapacityImage(m);
        },
        [this, image] { Chart1_->SetCells(*image); });
}

void TLandEditForm::CommitFields()
{
    const struct {
        QLineEdit* Edit;
        const char* Caption;
        int32_t Model::*Capacity;
    } capacities[] = {{HiCEdit_, "high capacity", &Model::HighCapacity}, {LoCEdit_, "low capacity", &Model::LowCapacity}};
    for (const auto& c : capacities)
        new TCommittedField(
            c.Edit, runner_, this, QString::fromLatin1(c.Caption),
            [capacity = c.Capacity](Model& m, const std::string& text) { m.*capacity = ConvertCapacity(text); },
            [capacity = c.Capacity](const Model& m) { return std::to_string(m.*capacity); });
    // A probability outside 0..1 reverts silently; both fields show the result.
    const struct {
        QLineEdit* Edit;
        const char* Caption;
        bool High;
    } probabilities[] = {{pHiEdit_, "p(HI)", true}, {pLoEdit_, "P(Lo)", false}};
    for (const auto& p : probabilities) {
        auto* field = new TCommittedField(
            p.Edit, runner_, this, QString::fromLatin1(p.Caption),
            [high = p.High](Model& m, const std::string& text) {
                const double v = ConvertReal(text);
                m.HighCapacityProb = high ? ApplyHighProbField(m.HighCapacityProb, v) : ApplyLowProbField(m.HighCapacityProb, v);
            },
            [high = p.High](const Model& m) {
                const TLandscapeEntries e = LandscapeEntriesOf(m);
                return high ? e.HighProb : e.LowProb;
            });
        connect(field, &TCommittedField::Taken, this, &TLandEditForm::ShowProbabilities);
    }
}

void TLandEditForm::ShowProbabilities()
{
    const TLandscapeEntries e = LandscapeEntriesOf(model_);
    pHiEdit_->setText(Text(e.HighProb));
    pLoEdit_->setText(Text(e.LowProb));
}

void TLandEditForm::RectanglePainted(int a, int b, int c, int d)
{
    int32_t capacity = 0;
    if (!Converted(this, "set capacity", [&] { capacity = ConvertCapacity(setCEdit_->text().toStdString()); })) return;
    runner_.BetweenSteps(this, [=, this] {
        PaintCapacity(model_, a, b, c, d, capacity);
        RedrawChart();
    });
}

void TLandEditForm::NewLandscapeClicked()
{
    QMessageBox question(QMessageBox::Warning, QStringLiteral("Caution"),
                         QStringLiteral("The following simulation data will be lost:\n\n- population data\n- landscape\n"
                                        "- disturbance definition\n\nThe species definition is not influenced!\n\nProceed?"),
                         QMessageBox::Ok | QMessageBox::Cancel, this);
    if (question.exec() != QMessageBox::Ok) return;
    emit NewLandscapeConfirmed();
    TGridSize size;
    if (!Converted(this, nullptr, [&] { size = ConvertGridSize(XdimEdit_->text().toStdString(), ydimEdit_->text().toStdString()); }))
        return;
    runner_.BetweenSteps(this, [this, size] {
        QString failure;
        try {
            NewLandscape(model_, size.XDim, size.YDim);
        } catch (const Error& e) {
            failure = QString::fromStdString(e.what());
        }
        RedrawChart();
        if (!failure.isEmpty()) {
            ShowError(this, failure);
            return;
        }
        emit LandscapeRecreated();
    });
}

void TLandEditForm::LoadImageClicked()
{
    const QString path = ChooseFile(BitmapOpenDialog_);
    if (path.isEmpty()) return;
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        ShowError(this, QStringLiteral("could not read the image %1: %2").arg(path, reader.errorString()));
        return;
    }
    image_ = image;
    Generate([grey = GreyImageOf(image_)](Model& m) { LandscapeFromImage(m, grey); });
}

void TLandEditForm::EditFlowGridClicked()
{
    runner_.BetweenSteps(this, [this] {
        // The landscape goes over in memory: no file in the user's working directory.
        flowGridForm_->SetBackground(ToQImage(CapacityImage(model_)));
        flowGridForm_->show();
        flowGridForm_->raise();
        flowGridForm_->activateWindow();
    });
}

} // namespace marovi::app
