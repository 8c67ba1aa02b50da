#pragma once
#include <QColor>
#include <QObject>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "widgets/named.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWindow;

namespace marovi::app {
class TStepRunner;
}

// Pieces the species and disturbance editors share.
namespace marovi::app::editors {

// Runs a change of the model between time steps; a refused change (an exception) shows its
// message in the window's error box once the model work is done.
void ActBetweenSteps(TStepRunner& runner, QWidget* window, std::function<void()> change);

// A caption and its field in column pair `column` (0, 1, ...) of a grid row.
void AddField(QGridLayout* grid, int row, int column, QWidget* caption, QWidget* field);
QLabel* CaptionLabel(const char* text, const char* hint = nullptr);

// Resizes a window to its preferred size, as far as its screen allows.
void ResizeWithinScreen(QWidget* window, const QSize& preferred);

QPushButton* MakeButton(const char* name, const char* caption);
QLineEdit* MakeEdit(const char* name, int maxWidth = 80);

// A report list: one row per item, the given column captions, whole rows selected.
QTreeWidget* MakeReportList(const char* name, const char* const* columns, int count);
// Appends a row; texts are UTF-8.
void AddReportRow(QTreeWidget* list, const std::string* texts, int count);
template <size_t N>
void AddReportRow(QTreeWidget* list, const std::array<std::string, N>& texts)
{
    AddReportRow(list, texts.data(), static_cast<int>(N));
}
// Selects row `row` (none when out of range) without the user's selection signals.
void SelectReportRow(QTreeWidget* list, int row);

// Eight check boxes for the substrate bits 0..7, named CheckBox<first>..CheckBox<first+7>.
using TBitBoxes = std::array<QCheckBox*, 8>;
QGroupBox* MakeSubstrateBox(const char* name, const QString& title, int first, TBitBoxes& boxes);
uint32_t CheckedBits(const TBitBoxes& boxes);
void ShowBits(const TBitBoxes& boxes, uint32_t bits);

// Tells whether a window became active again because a dialog of the program closed (a
// message box, the per-season dialog, a file dialog) rather than because the user came
// from another window: refreshing then would discard what the dialog just set.
class TActivationWatch : public QObject {
    Q_OBJECT
public:
    explicit TActivationWatch(QWidget* window);
    // Asked while `window` becomes active.
    bool ReturnedFromDialog() const;

private:
    struct TFocus {
        const QWindow* Window = nullptr; // compared only: a closed dialog may be gone
        bool Modal = false;
    };
    QWidget* window_;
    TFocus current_, previous_;
};

// The colour swatch of a species: a press opens the colour dialog, a right click too (the
// context-menu request).
class TColourSwatch : public QWidget {
    Q_OBJECT
public:
    explicit TColourSwatch(QWidget* parent = nullptr);
    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }

signals:
    void Pressed();
    void ContextRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QColor colour_;
};

} // namespace marovi::app::editors
