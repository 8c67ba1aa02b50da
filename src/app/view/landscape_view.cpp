#include "landscape_view.h"

#include <QHideEvent>

#include "messages.h"
#include "step_runner.h"

namespace marovi::app {

TVisulaize::TVisulaize(TStepRunner& runner, QWidget* parent) : QWidget(parent, Qt::Window), runner_(runner)
{
    setObjectName(QStringLiteral("Visulaize"));
    setWindowTitle(QStringLiteral("VerUdira"));
    setMinimumSize(500, 640);
}

TVisulaize::~TVisulaize() = default;

void TVisulaize::SetRovWindow(QWidget* window)
{
    rovWindow_ = window;
}

void TVisulaize::ShowRovWindow()
{
    if (!rovWindow_) return;
    rovWindow_->show();
    rovWindow_->raise();
    rovWindow_->activateWindow();
}

void TVisulaize::StartRovPick()
{
    selectingRovStart_ = true;
    selectingRovEnd_ = false;
    rovPickActive_ = true;
}

void TVisulaize::CancelRovPick()
{
    const bool wasActive = rovPickActive_;
    selectingRovStart_ = selectingRovEnd_ = rovPickActive_ = false;
    if (wasActive) emit RovPickCancelled();
}

bool TVisulaize::PickRovCell(int x, int y)
{
    if (selectingRovStart_) {
        ShowMessage(this, QStringLiteral("attention"), QStringLiteral("now select endpoint of ROV transect!"));
        rovStart_ = QPoint(x, y);
        selectingRovEnd_ = true;
        selectingRovStart_ = false;
        return true;
    }
    if (selectingRovEnd_) {
        ShowMessage(this, QStringLiteral("attention"), QStringLiteral("ROV transect complete!"));
        rovEnd_ = QPoint(x, y);
        selectingRovEnd_ = false;
        rovPickActive_ = false;
        emit RovPicked(rovStart_, rovEnd_);
        return true;
    }
    return false;
}

void TVisulaize::SetRovCourse(const std::vector<QPoint>& cells)
{
    rovCourse_ = cells;
    update();
}

void TVisulaize::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous()) return; // minimised: the view is still there
    CancelRovPick();
    emit Hidden();
}

} // namespace marovi::app
