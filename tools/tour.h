// Driving the desktop program as a user would, for the screenshot tours: opening windows,
// clicking and typing, running, and answering the message boxes that appear.
#pragma once
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

namespace marovi::app {
class TProgram;
}

namespace marovi::tour {

// Lets the worker and the event loop finish what the last action started.
void Settle(app::TProgram& p);
// Clicks a named button or check box of a window; says so when the window has none.
void Click(app::TProgram& p, QWidget* window, const char* name);
// Types a text into a named line edit and commits it, as leaving the field does.
void Type(app::TProgram& p, QWidget* window, const char* name, const QString& text);
// Shows a window at its own size (or the size given), kept on the screen, in front.
void Present(QWidget* w, int width = 0, int height = 0);
// A click on the centre of a cell of the landscape view's map.
void ClickCell(app::TProgram& p, int x, int y, Qt::MouseButton button);
// Runs the simulation with the "run" button for a number of steps.
void RunSteps(app::TProgram& p, int steps);

// Message boxes and dialogs that open while the tour goes on: each is handed to Seen, then,
// unless Seen closed it, answered (a message box with Answer, else OK or its first button;
// any other dialog cancelled).
class TModalWatch {
public:
    explicit TModalWatch(app::TProgram& p);
    std::function<void(QWidget* modal)> Seen;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;

private:
    QTimer timer_; // goes with the watch, which its checks read
};

} // namespace marovi::tour
