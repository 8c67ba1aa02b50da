#pragma once
#include <QObject>
#include <QTimer>

class QProgressBar;

namespace marovi::app {

// Shows that a window's work is under way: a busy cursor at once and, when the work takes
// more than a second, a running progress bar.
class TBusyIndicator : public QObject {
    Q_OBJECT
public:
    explicit TBusyIndicator(QProgressBar* bar, QObject* parent = nullptr);
    ~TBusyIndicator() override;

    void Start();
    void Stop();
    bool Busy() const { return busy_; }

private:
    QProgressBar* bar_;
    QTimer delay_;
    bool busy_ = false;
};

} // namespace marovi::app
