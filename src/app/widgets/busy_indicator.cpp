#include "widgets/busy_indicator.h"

#include <QApplication>
#include <QProgressBar>

namespace marovi::app {

TBusyIndicator::TBusyIndicator(QProgressBar* bar, QObject* parent) : QObject(parent), bar_(bar)
{
    bar_->setRange(0, 0); // no figures to show: the bar runs
    bar_->setVisible(false);
    delay_.setSingleShot(true);
    delay_.setInterval(1000);
    connect(&delay_, &QTimer::timeout, bar_, [this] { bar_->setVisible(true); });
}

TBusyIndicator::~TBusyIndicator()
{
    if (busy_) QApplication::restoreOverrideCursor();
}

void TBusyIndicator::Start()
{
    if (busy_) return;
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    delay_.start();
}

void TBusyIndicator::Stop()
{
    if (!busy_) return;
    busy_ = false;
    delay_.stop();
    bar_->setVisible(false);
    QApplication::restoreOverrideCursor();
}

} // namespace marovi::app
