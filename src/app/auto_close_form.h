#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace marovi::app {

// A yes/no question that answers itself with a default when nobody answers in time.
class TAutoCloseForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int NoAnswer = 0;
    static constexpr int Yes = 1;
    static constexpr int No = 2;
    static constexpr int DefaultTimeout = 10000; // ms

    explicit TAutoCloseForm(QWidget* parent = nullptr);

    // Shows the question without blocking; empty texts keep the current ones. Answered
    // follows once the window closes.
    void AskTimed(const QString& text, const QString& caption, int defaultAnswer, int timeoutMs = DefaultTimeout);
    int Answer() const { return answer_; }
    QTimer* Timer1() const { return timer_; }

signals:
    void Answered(int answer);

protected:
    void done(int result) override;

private:
    void CloseWith(int answer);

    QLabel* label_;
    QTimer* timer_;
    int answer_ = NoAnswer;
    bool asking_ = false;
};

} // namespace marovi::app
