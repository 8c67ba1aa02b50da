#include "editors/season_values_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/editor_widgets.h"
#include "messages.h"
#include "model/season_values.h"
#include "util/error.h"

namespace marovi::app {

using editors::MakeButton;
using editors::MakeEdit;

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TmValueEditForm::TmValueEditForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("mValueEditForm"));
    setModal(true);
    ListBox1_ = Named(new QListWidget, "ListBox1");
    ListBox1_->setFont(QFont(QStringLiteral("monospace")));
    ListBox1_->setMinimumSize(220, 160);
    Label1_ = Named(new QLabel, "Label1");
    Edit1_ = MakeEdit("Edit1", 120);
    SRLabel_ = Named(new QLabel(QStringLiteral("survivalrate")), "SRLabel");
    SREdit_ = MakeEdit("SREdit", 120);
    SRButton_ = MakeButton("SRButton", "compute");
    auto* use = MakeButton("CloseButton", "use new values ");
    auto* cancel = MakeButton("cancelButton", "cancel");

    auto* fields = new QGridLayout;
    fields->addWidget(Label1_, 0, 0);
    fields->addWidget(Edit1_, 0, 1);
    fields->addWidget(SRLabel_, 1, 0);
    fields->addWidget(SREdit_, 1, 1);
    fields->addWidget(SRButton_, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(use);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1_, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(ListBox1_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) SelectSeason(row);
    });
    connect(Edit1_, &QLineEdit::textEdited, this, [this] { changed_ = true; });
    connect(Edit1_, &QLineEdit::returnPressed, this, [this] {
        changed_ = false;
        ConvertEdit();
    });
    connect(SRButton_, &QPushButton::clicked, this, &TmValueEditForm::ComputeClicked);
    connect(use, &QPushButton::clicked, this, &TmValueEditForm::UseClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TmValueEditForm::EditSeasonValues(const TSeasonRequest& request, TSeasonValues& values)
{
    setWindowTitle(request.What + QStringLiteral(" of ") + request.Name);
    request_ = request;
    changed_ = false;
    values_ = values;
    season_ = 0;
    RewriteLines();
    Label1_->setText(Text(SeasonLabel(0)));
    Edit1_->setText(Text(SeasonValueText(values_[0])));
    SREdit_->setText(request.SurvivalTools ? Text(SurvivalRateText(request.NormalLifespan, values_[0])) : QString());
    for (QWidget* w : {static_cast<QWidget*>(SRLabel_), static_cast<QWidget*>(SREdit_), static_cast<QWidget*>(SRButton_)}) {
        w->setVisible(request.SurvivalTools);
        w->setEnabled(request.SurvivalTools);
    }
    // Closing the window otherwise than by "use new values " cancels, as "cancel" does.
    if (exec() != QDialog::Accepted) return true;
    values = values_;
    return false;
}

void TmValueEditForm::RewriteLines()
{
    const QSignalBlocker blocker(ListBox1_);
    ListBox1_->clear();
    for (int s = 0; s < SeasonsPerYear; ++s) ListBox1_->addItem(Text(SeasonLine(s, values_[static_cast<size_t>(s)])));
    ListBox1_->setCurrentRow(season_);
}

void TmValueEditForm::SelectSeason(int season)
{
    season_ = season;
    Label1_->setText(Text(SeasonLabel(season)));
    Edit1_->setText(Text(SeasonValueText(values_[static_cast<size_t>(season)])));
}

void TmValueEditForm::ConvertEdit()
{
    double value = 0;
    const std::string text = Edit1_->text().toStdString();
    if (ParseSeasonValue(text, value))
        values_[static_cast<size_t>(season_)] = value;
    else
        ShowMessage(this, QStringLiteral("MAROVI"), Text(SeasonConversionMessage(text)));
    RewriteLines();
}

void TmValueEditForm::ComputeClicked()
{
    try {
        const double p = DeathProbFromSurvivalText(SREdit_->text().toStdString(), request_.NormalLifespan);
        values_.fill(p);
    } catch (const Error& e) {
        ShowError(this, Text(e.what()));
        return;
    }
    RewriteLines();
}

void TmValueEditForm::UseClicked()
{
    if (changed_) {
        changed_ = false;
        ConvertEdit();
    }
    accept();
}

} // namespace marovi::app
