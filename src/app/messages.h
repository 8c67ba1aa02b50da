#pragma once
#include <QString>

class QFileDialog;
class QWidget;

namespace marovi::app {

// Message box with an OK button; a fixed-pitch text keeps padded columns aligned.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text, bool fixedPitch = false);
// The program's error display for failures of model operations.
void ShowError(QWidget* parent, const QString& text);
// Yes/No question; true for Yes.
bool AskYesNo(QWidget* parent, const QString& caption, const QString& text);
// Runs a file dialog; the chosen file, or an empty text when it was cancelled.
QString ChooseFile(QFileDialog* dialog);
// A save or open dialog with the program's filter and default extension, named for tests.
QFileDialog* MakeFileDialog(QWidget* parent, const char* name, bool save, const QString& filter,
                            const QString& defaultSuffix);

} // namespace marovi::app
