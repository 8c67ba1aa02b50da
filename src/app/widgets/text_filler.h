#pragma once
#include <QObject>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace marovi::app {

// Shows lines in a text field part by part, one part per turn of the event loop, so that the
// window answers while a report of a hundred thousand lines goes in (at once it held the
// window for a third of a second and more). A short text goes in at once.
class TTextFiller : public QObject {
    Q_OBJECT
public:
    explicit TTextFiller(QPlainTextEdit* edit);

    // Replaces the text of the field with the lines; a fill in progress is dropped.
    void Show(std::vector<std::string> lines);
    bool Filling() const { return shown_ < lines_.size(); }
    // Puts the rest in at once (before the field's text is read).
    void Finish();

    static constexpr size_t Part = 5000;

private:
    void ShowPart();

    QPlainTextEdit* edit_;
    std::vector<std::string> lines_;
    size_t shown_ = 0;
    bool scheduled_ = false;
};

} // namespace marovi::app
