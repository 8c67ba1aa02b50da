#include "auto_close_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace marovi::app {

TAutoCloseForm::TAutoCloseForm(QWidget* parent) : QDialog(parent), label_(new QLabel), timer_(new QTimer(this))
{
    setObjectName(QStringLiteral("AutoCloseForm"));
    setWindowTitle(QStringLiteral("question"));
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setText(QStringLiteral("press yes or no"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setMinimumWidth(280);
    auto* yes = new QPushButton(QStringLiteral("Yes"));
    yes->setObjectName(QStringLiteral("YesButton"));
    auto* no = new QPushButton(QStringLiteral("No"));
    no->setObjectName(QStringLiteral("NoButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addLayout(buttons);

    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { CloseWith(answer_); });
    connect(yes, &QPushButton::clicked, this, [this] { CloseWith(Yes); });
    connect(no, &QPushButton::clicked, this, [this] { CloseWith(No); });
}

void TAutoCloseForm::AskTimed(const QString& text, const QString& caption, int defaultAnswer, int timeoutMs)
{
    answer_ = defaultAnswer;
    if (!text.isEmpty()) label_->setText(text);
    if (!caption.isEmpty()) setWindowTitle(caption);
    asking_ = true;
    timer_->start(timeoutMs);
    show();
    raise();
}

void TAutoCloseForm::CloseWith(int answer)
{
    answer_ = answer;
    accept();
}

void TAutoCloseForm::done(int result)
{
    // Closing the window any way (also Escape or its close box) keeps the answer so far,
    // which is the default until a button was pressed.
    timer_->stop();
    QDialog::done(result);
    if (asking_) {
        asking_ = false;
        emit Answered(answer_);
    }
}

} // namespace marovi::app
