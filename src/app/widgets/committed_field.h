#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QLineEdit;
class QWidget;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TStepRunner;

// A field whose text the model takes when it is committed: Enter, or leaving the field
// (which a click on a button that uses the field does first), never while it is typed. The
// text is taken between time steps; a refused text (a marovi::Error from `take`) shows the
// refusal with the field's caption, and the field shows again what the model holds.
class TCommittedField : public QObject {
    Q_OBJECT
public:
    using TTake = std::function<void(Model& m, const std::string& text)>;
    using TShown = std::function<std::string(const Model& m)>;

    TCommittedField(QLineEdit* edit, TStepRunner& runner, QWidget* window, QString caption, TTake take, TShown shown);

signals:
    // Inside the action, after the model took the text.
    void Taken();

private:
    void Commit();

    QLineEdit* edit_;
    TStepRunner& runner_;
    QWidget* window_;
    QString caption_;
    TTake take_;
    TShown shown_;
};

} // namespace marovi::app
