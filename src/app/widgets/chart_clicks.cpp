#include "widgets/chart_clicks.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QMouseEvent>

namespace marovi::app {

TChartClicks::TChartClicks(QChartView* view) : QObject(view), view_(view)
{
    wait_.setSingleShot(true);
    wait_.setInterval(QApplication::doubleClickInterval());
    connect(&wait_, &QTimer::timeout, this, [this] { emit Clicked(position_); });
    view_->viewport()->installEventFilter(this);
}

bool TChartClicks::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) wait_.stop();
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            position_ = view_->chart()->mapFromScene(view_->mapToScene(mouse->position().toPoint()));
            wait_.start();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace marovi::app
