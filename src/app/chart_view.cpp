#include "chart_view.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "messages.h"

namespace marovi::app {

namespace {

void RenderSvg(QChartView* view, QIODevice* device)
{
    QSvgGenerator generator;
    generator.setOutputDevice(device);
    generator.setSize(view->size());
    generator.setViewBox(view->rect());
    generator.setTitle(view->chart()->title());
    QPainter painter(&generator);
    view->render(&painter);
}

} // namespace

TChartView::TChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent),
      saveDialog_(MakeFileDialog(this, "ChartSaveDialog", true, QStringLiteral("scalable vector graphics (*.svg)"),
                                 QStringLiteral("svg")))
{
    setRenderHint(QPainter::Antialiasing);
}

QByteArray TChartView::SvgBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RenderSvg(this, &buffer);
    return buffer.data();
}

bool TChartView::SaveSvg(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    RenderSvg(this, &file);
    return file.commit();
}

void TChartView::CopyToClipboard()
{
    auto* data = new QMimeData;
    data->setImageData(grab().toImage());
    data->setData(QStringLiteral("image/svg+xml"), SvgBytes());
    QApplication::clipboard()->setMimeData(data);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        CopyToClipboard();
        return;
    }
    const QString path = ChooseFile(saveDialog_);
    if (!path.isEmpty() && !SaveSvg(path)) ShowError(this, QStringLiteral("could not write %1").arg(path));
}

} // namespace marovi::app
