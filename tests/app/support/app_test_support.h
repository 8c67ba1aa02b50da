#pragma once
#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "files/status_list.h"

namespace marovi::app {
class TMainForm;
class TProgram;
} // namespace marovi::app

namespace marovi::apptest {

// The date and time every test entry carries.
inline constexpr char TestTime[] = "2024-05-06 07:08:09";
TClock FixedClock();

// A child widget by object name; fails the test (QVERIFY) through a null result.
template <class W>
W* Child(QObject* parent, const char* name)
{
    return parent->findChild<W*>(QString::fromLatin1(name));
}

// A message box that appeared while a test action ran.
struct TSeenBox {
    QString Title;
    QString Text;
};

// Answers the modal windows that appear while it exists: message boxes are recorded and
// answered with Answer, file dialogs get FileName (or are cancelled when it is empty).
class TModalResponder : public QObject {
    Q_OBJECT
public:
    TModalResponder();
    ~TModalResponder() override;

    QMessageBox::StandardButton Answer = QMessageBox::Ok;
    QStringList FileNames; // one per file dialog, in order; cancelled when none is left
    QColor Colour;         // chosen in a colour dialog; cancelled when invalid
    std::vector<TSeenBox> Boxes;
    int FileDialogs = 0;

private:
    void Poll();
    QTimer timer_;
};

// The program with the fixed clock over a small start-up grid and random seed 4711.
std::unique_ptr<app::TProgram> MakeProgram(int xdim, int ydim);
// The status list of the main window, newest line first.
QStringList StatusLines(app::TMainForm* form);
// Types the text into the line edit of that name.
void SetText(QObject* form, const char* name, const QString& text);
// Clicks the enabled push button of that name.
void ClickButton(QObject* form, const char* name);
// "+1", waiting until its step and bookkeeping are done.
void SingleStep(app::TProgram& program);
// The time step the main window shows (the model belongs to the worker while a run goes on).
int ShownTimeStep(app::TMainForm* form);

// Runs marovi-cli with the arguments: its standard output as lines (without their CR LF),
// or one line naming the failure.
QStringList RunCli(const QStringList& arguments);
// Saves a new simulation made by marovi-cli ("new") with the grid size WxH, the seed and the
// number of steps; false (with the runner's message as a warning) when it failed.
bool CliSimulation(const QString& path, const QString& grid, int seed, int steps);
// The lines of a text file written with CR LF line ends; one line naming a missing file.
QStringList FileLines(const QString& path);
// A simulation for the analysis windows: the start-up state of an xdim x ydim grid with two
// disturbance regimes after `steps` time steps, saved as `path` and loaded from there, so
// that the program holds what the runner reads from the same file.
std::unique_ptr<app::TProgram> AnalysedProgram(const QString& path, int xdim, int ydim, int steps);

// Runs the event loop until done() holds or ms milliseconds have passed; true when it holds.
bool WaitFor(const std::function<bool()>& done, int ms = 20000);

// What something drawn over a widget adds: the widget's picture with the drawing made by
// `change` and without (after `undo`), and the pixels in which they differ. Both steps
// run with the widget shown.
QList<QPoint> DrawnPixels(QWidget* widget, const std::function<void()>& change, const std::function<void()>& undo);

} // namespace marovi::apptest
