#pragma once
#include <QDialog>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace marovi::app {

// Shown at start-up; closes when its timer fires or its button is pressed, and then says
// so once through Finished (the command-line load waits for it).
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(int showMilliseconds = 2500, QWidget* parent = nullptr);
    QTimer* Timer() const { return timer_; }

signals:
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTimer* timer_;
    bool finished_ = false;
};

// The about box: program and core version, the build time of the executable and the threads
// a time step runs on.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(int stepThreads = 1, QWidget* parent = nullptr);
};

// A small stay-on-top window with a text and a progress bar, shown while files load.
class TProgressForm : public QWidget {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);
    void Start(const QString& text, int maximum);
    void SetText(const QString& text);
    void SetPosition(int position);
    QLabel* Label() const { return label_; }
    QProgressBar* Bar() const { return bar_; }

private:
    QLabel* label_;
    QProgressBar* bar_;
};

// The build time of the running executable, as the about box shows it.
QString BuildTimeText();

} // namespace marovi::app
