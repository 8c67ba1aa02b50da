#include "priority_form.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "messages.h"
#include "util/process_priority.h"

namespace marovi::app {

TPriorityForm::TPriorityForm(QWidget* parent)
    : QDialog(parent), GetNice(&CurrentProcessNice), SetNice(&SetProcessNice), group_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("PriorityForm"));
    setWindowTitle(QStringLiteral("set application priority"));
    auto* box = new QGroupBox(QStringLiteral(" main priority class "));
    auto* boxLayout = new QVBoxLayout(box);
    const struct {
        const char* Name;
        const char* Caption;
        TPriorityClass Class;
    } buttons[] = {
        {"RadioButton1", "idle", TPriorityClass::Idle},
        {"RadioButton6", "below normal", TPriorityClass::BelowNormal},
        {"RadioButton2", "normal", TPriorityClass::Normal},
        {"RadioButton5", "above normal", TPriorityClass::AboveNormal},
        {"RadioButton3", "high ", TPriorityClass::High},
        {"RadioButton4", "realtime", TPriorityClass::Realtime},
    };
    for (const auto& b : buttons) {
        auto* radio = new QRadioButton(QString::fromLatin1(b.Caption));
        radio->setObjectName(QString::fromLatin1(b.Name));
        group_->addButton(radio, static_cast<int>(b.Class));
        boxLayout->addWidget(radio);
    }
    auto* warning = new QLabel(QStringLiteral("Do not use realtime priority unless you know what you are doing!"));
    warning->setObjectName(QStringLiteral("WarningLabel"));
    warning->setWordWrap(true);
    auto* set = new QPushButton(QStringLiteral("set"));
    set->setObjectName(QStringLiteral("SetButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(warning);
    layout->addWidget(set, 0, Qt::AlignCenter);
    connect(set, &QPushButton::clicked, this, &TPriorityForm::SetClicked);
}

void TPriorityForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const std::optional<TPriorityClass> current = ClassOfNice(GetNice());
    if (current) {
        group_->button(static_cast<int>(*current))->setChecked(true);
        return;
    }
    // No button may stay checked from before, or "set" would apply it.
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons()) b->setChecked(false);
    group_->setExclusive(true);
    QTimer::singleShot(0, this, [this] { ShowMessage(this, QStringLiteral("Error"), QStringLiteral("undefined priority class!")); });
}

void TPriorityForm::SetClicked()
{
    // A class the system refuses leaves the priority as it was, and the user learns why.
    if (QAbstractButton* checked = group_->checkedButton()) {
        const int before = GetNice(), wanted = NiceOfClass(static_cast<TPriorityClass>(group_->id(checked)));
        if (!SetNice(wanted)) {
            QString why = QStringLiteral("the system refused the priority \"%1\" (nice %2; the program stays at nice %3)")
                              .arg(checked->text().trimmed())
                              .arg(wanted)
                              .arg(before);
            if (wanted < before)
                why += QStringLiteral(": without privileges a program may lower its priority, but not raise it again");
            ShowMessage(this, windowTitle(), why + QLatin1Char('!'));
        }
    }
    accept();
}

} // namespace marovi::app
