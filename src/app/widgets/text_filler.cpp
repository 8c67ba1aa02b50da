#include "widgets/text_filler.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

namespace marovi::app {

TTextFiller::TTextFiller(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {}

void TTextFiller::Show(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    shown_ = 0;
    ShowPart();
}

void TTextFiller::Finish()
{
    while (Filling()) ShowPart();
}

void TTextFiller::ShowPart()
{
    const size_t end = std::min(lines_.size(), shown_ + Part);
    QStringList part;
    part.reserve(static_cast<qsizetype>(end - shown_));
    for (size_t i = shown_; i < end; ++i) part << QString::fromStdString(lines_[i]);
    if (shown_ == 0) {
        edit_->setPlainText(part.join(QLatin1Char('\n'))); // also clears the undo history
    } else {
        // Appended where the user cannot undo it, and without moving the view.
        QTextDocument* document = edit_->document();
        document->setUndoRedoEnabled(false);
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QLatin1Char('\n') + part.join(QLatin1Char('\n')));
        document->setUndoRedoEnabled(true);
    }
    shown_ = end;
    if (!Filling()) {
        lines_.clear();
        shown_ = 0;
        return;
    }
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        if (Filling()) ShowPart();
    });
}

} // namespace marovi::app
