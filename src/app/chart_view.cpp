#include "chart_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "messages.h"
#include "widgets/widget_export.h"

namespace marovi::app {

TChartView::TChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent),
      saveDialog_(MakeFileDialog(this, "ChartSaveDialog", true, QStringLiteral("scalable vector graphics (*.svg)"),
                                 QStringLiteral("svg")))
{
    setRenderHint(QPainter::Antialiasing);
}

QByteArray TChartView::SvgBytes() { return WidgetSvg(this, chart()->title()); }

bool TChartView::SaveSvg(const QString& path) { return SaveWidgetSvg(this, chart()->title(), path); }

void TChartView::CopyToClipboard() { CopyWidgetToClipboard(this, chart()->title()); }

void TChartView::SetAfterDraw(std::function<void(QPainter&)> draw)
{
    afterDraw_ = std::move(draw);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    SaveOrCopyChart(this, chart()->title(), saveDialog_, event->modifiers());
}

void TChartView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    if (!afterDraw_) return;
    painter->save();
    afterDraw_(*painter);
    painter->restore();
}

} // namespace marovi::app
