#pragma once
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace marovi::app {

class TStepRunner;

// The landscape view: the live map of the simulation with its display modes, overlays,
// snapshots, cell and individual information, God mode, and the entry to the region of
// interest and the virtual ROV.
//
// The virtual ROV window uses it like this:
// - "virtual ROV" shows the window given to SetRovWindow.
// - A straight transect is picked with two middle clicks on the map: StartRovPick() sets
//   SelectingRovStart and RovPickActive; the first middle click sets RovStart (and
//   SelectingRovEnd), the second RovEnd, clears RovPickActive and emits RovPicked. The
//   pick ends without a result, emitting RovPickCancelled, when CancelRovPick() is called,
//   when the view is hidden or closed, and when a new simulation replaces the grid. The
//   window never waits in a loop: it reacts to the two signals.
// - "ROV course" draws the cells given to SetRovCourse, in order.
class TVisulaize : public QWidget {
    Q_OBJECT
public:
    explicit TVisulaize(TStepRunner& runner, QWidget* parent = nullptr);
    ~TVisulaize() override;

    // The window shown by "virtual ROV".
    void SetRovWindow(QWidget* window);

    // --- ROV transect picking
    void StartRovPick();
    void CancelRovPick();
    bool SelectingRovStart() const { return selectingRovStart_; }
    bool SelectingRovEnd() const { return selectingRovEnd_; }
    bool RovPickActive() const { return rovPickActive_; }
    // Cell coordinates (x, y) of the picked start and end.
    QPoint RovStart() const { return rovStart_; }
    QPoint RovEnd() const { return rovEnd_; }

    // The transect that "ROV course" draws: its cells in visiting order; empty for none.
    void SetRovCourse(const std::vector<QPoint>& cells);
    const std::vector<QPoint>& RovCourse() const { return rovCourse_; }

signals:
    // Both transect ends are picked: RovStart() and RovEnd() hold them.
    void RovPicked(QPoint start, QPoint end);
    // A pick in progress ended without a result.
    void RovPickCancelled();
    // The view window was hidden or closed.
    void Hidden();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // What a middle click on cell (x, y) of the map does while a pick is in progress:
    // true when it was taken as a transect end.
    bool PickRovCell(int x, int y);
    void ShowRovWindow();

    TStepRunner& runner_;
    QPointer<QWidget> rovWindow_;
    bool selectingRovStart_ = false;
    bool selectingRovEnd_ = false;
    bool rovPickActive_ = false;
    QPoint rovStart_, rovEnd_;
    std::vector<QPoint> rovCourse_;
};

} // namespace marovi::app
