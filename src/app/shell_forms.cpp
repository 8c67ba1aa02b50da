#include "shell_forms.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app_texts.h"

namespace marovi::app {

namespace {

QLabel* AddLabel(QLayout* layout, const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
}

QLabel* AddTitle(QLayout* layout)
{
    QLabel* title = AddLabel(layout, "TitleLabel", QStringLiteral("MAROVI"));
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    title->setFont(font);
    return title;
}

} // namespace

QString BuildTimeText()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    return executable.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

TSplashForm::TSplashForm(int showMilliseconds, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint), timer_(new QTimer(this))
{
    setObjectName(QStringLiteral("SplashForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 20, 30, 20);
    AddTitle(layout);
    AddLabel(layout, "SubtitleLabel", QStringLiteral("individual-based simulation of sessile communities"));
    AddLabel(layout, "VersionLabel", QStringLiteral("%1, core %2").arg(QLatin1String(ProgramVersion), QLatin1String(CoreVersion)));
    auto* button = new QPushButton(QStringLiteral("OK"));
    button->setObjectName(QStringLiteral("OKButton"));
    layout->addWidget(button, 0, Qt::AlignCenter);
    connect(button, &QPushButton::clicked, this, &QWidget::close);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(showMilliseconds);
    connect(timer_, &QTimer::timeout, this, &QWidget::close);
    timer_->start();
}

void TSplashForm::closeEvent(QCloseEvent* event)
{
    timer_->stop();
    event->accept();
    if (!finished_) {
        finished_ = true;
        emit Finished();
    }
}

TAboutForm::TAboutForm(int stepThreads, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About MAROVI"));
    auto* layout = new QVBoxLayout(this);
    AddTitle(layout);
    AddLabel(layout, "ProgramVersionLabel", QStringLiteral("version %1").arg(QLatin1String(ProgramVersion)));
    AddLabel(layout, "CoreVersionLabel", QStringLiteral("core %1").arg(QLatin1String(CoreVersion)));
    AddLabel(layout, "BuildTimeLabel", QStringLiteral("built %1").arg(BuildTimeText()));
    AddLabel(layout, "StepThreadsLabel",
             stepThreads == 1 ? QStringLiteral("time steps on 1 thread") : QStringLiteral("time steps on %1 threads").arg(stepThreads));
    auto* button = new QPushButton(QStringLiteral("OK"));
    button->setObjectName(QStringLiteral("OKButton"));
    layout->addWidget(button, 0, Qt::AlignCenter);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
}

TProgressForm::TProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), label_(new QLabel), bar_(new QProgressBar)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("MAROVI"));
    label_->setObjectName(QStringLiteral("Label1"));
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

void TProgressForm::Start(const QString& text, int maximum)
{
    label_->setText(text);
    bar_->setRange(0, maximum);
    bar_->setValue(0);
    show();
    raise();
    repaint();
}

void TProgressForm::SetText(const QString& text)
{
    label_->setText(text);
    label_->repaint();
}

void TProgressForm::SetPosition(int position)
{
    bar_->setValue(position);
    bar_->repaint();
}

} // namespace marovi::app
