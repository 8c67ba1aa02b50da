#pragma once
#include <QDialog>
#include <functional>

class QButtonGroup;

namespace marovi::app {

// Sets the scheduling priority of the whole program: six priority classes, each standing
// for a nice value of this system.
class TPriorityForm : public QDialog {
    Q_OBJECT
public:
    explicit TPriorityForm(QWidget* parent = nullptr);

    // The system calls used; replaceable so that a refusal can be tried without one.
    std::function<int()> GetNice;
    std::function<bool(int)> SetNice;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetClicked();
    QButtonGroup* group_;
};

} // namespace marovi::app
