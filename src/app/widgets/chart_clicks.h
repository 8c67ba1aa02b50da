#pragma once
#include <QObject>
#include <QPointF>
#include <QTimer>

class QChartView;

namespace marovi::app {

// Single clicks on a chart that leave its double click (save or copy) alone: a click is
// reported once the double-click interval has passed without a second click.
class TChartClicks : public QObject {
    Q_OBJECT
public:
    explicit TChartClicks(QChartView* view);

signals:
    // The position in chart coordinates.
    void Clicked(QPointF position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QChartView* view_;
    QTimer wait_;
    QPointF position_;
};

} // namespace marovi::app
