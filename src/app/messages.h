#pragma once
#include <QString>
#include <exception>

class QFileDialog;
class QWidget;

namespace marovi::app {

// Message box with an OK button; a fixed-pitch text keeps padded columns aligned.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text, bool fixedPitch = false);
// The program's error display for failures of model operations.
void ShowError(QWidget* parent, const QString& text);
// Yes/No question; true for Yes.
bool AskYesNo(QWidget* parent, const QString& caption, const QString& text);
// Runs an operation of the model or of a file; a failure is shown with its message.
// True when it succeeded.
template <class F>
bool Attempt(QWidget* parent, F&& operation)
{
    try {
        operation();
        return true;
    } catch (const std::exception& e) {
        ShowError(parent, QString::fromStdString(e.what()));
    }
    return false;
}
// Runs a file dialog; the chosen file, or an empty text when it was cancelled.
QString ChooseFile(QFileDialog* dialog);
// A save or open dialog with the program's filter and default extension, named for tests.
QFileDialog* MakeFileDialog(QWidget* parent, const char* name, bool save, const QString& filter,
                            const QString& defaultSuffix);

} // namespace marovi::app
