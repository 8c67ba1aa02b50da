#include "widgets/committed_field.h"

#include <QLineEdit>

#include "messages.h"
#include "model/grid_properties.h"
#include "step_runner.h"
#include "util/error.h"

namespace marovi::app {

TCommittedField::TCommittedField(QLineEdit* edit, TStepRunner& runner, QWidget* window, QString caption, TTake take,
                                 TShown shown)
    : QObject(edit), edit_(edit), runner_(runner), window_(window), caption_(std::move(caption)), take_(std::move(take)),
      shown_(std::move(shown))
{
    connect(edit_, &QLineEdit::editingFinished, this, &TCommittedField::Commit);
}

void TCommittedField::Commit()
{
    runner_.BetweenSteps(this, [this, text = edit_->text().toStdString()] {
        try {
            take_(runner_.model(), text);
        } catch (const Error& e) {
            // The field first, so that leaving it for the message commits what the model holds.
            edit_->setText(QString::fromStdString(shown_(runner_.model())));
            ShowError(window_, QString::fromStdString(FieldMessage(caption_.toStdString(), e.what())));
            return;
        }
        emit Taken();
    });
}

} // namespace marovi::app
