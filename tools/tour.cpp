#include "tour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "main_form.h"
#include "program.h"
#include "step_runner.h"
#include "view/landscape_view.h"
#include "widgets/map_chart.h"

namespace marovi::tour {

using app::TProgram;

void Settle(TProgram& p)
{
    for (int i = 0; i < 5; ++i) {
        p.Runner->WaitIdle();
        QApplication::processEvents();
        QTest::qWait(60);
    }
}

void Click(TProgram& p, QWidget* window, const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button) {
        std::fprintf(stderr, "no button %s in %s\n", name, qPrintable(window->objectName()));
        return;
    }
    button->click();
    Settle(p);
}

void Type(TProgram& p, QWidget* window, const char* name, const QString& text)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    if (!edit) {
        std::fprintf(stderr, "no field %s in %s\n", name, qPrintable(window->objectName()));
        return;
    }
    edit->setText(text);
    emit edit->editingFinished();
    Settle(p);
}

void Present(QWidget* w, int width, int height)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w->show();
    if (width > 0 && height > 0) w->resize(width, height);
    w->resize(w->size().boundedTo(screen.size()));
    w->move(screen.topLeft());
    w->raise();
    w->activateWindow();
}

void ClickCell(TProgram& p, int x, int y, Qt::MouseButton button)
{
    auto* chart = p.Visulaize->findChild<app::TMapChart*>(QStringLiteral("Chart1"));
    QTest::mouseClick(chart, button, {}, chart->PixelOf(QPointF(x + 0.5, y + 0.5)).toPoint());
    Settle(p);
}

void RunSteps(TProgram& p, int steps)
{
    app::TMainForm* main = p.MainForm.get();
    auto* shown = main->findChild<QLabel*>(QStringLiteral("TimeLabel"));
    const int target = shown->text().toInt() + steps;
    main->findChild<QAbstractButton*>(QStringLiteral("StartButton1"))->click(); // no settling: it runs on
    while (shown->text().toInt() < target && main->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    main->Stop();
    while (main->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

TModalWatch::TModalWatch(TProgram& p)
{
    QObject::connect(&timer_, &QTimer::timeout, [this, &p] {
        static bool busy = false;
        QWidget* modal = QApplication::activeModalWidget();
        if (busy || !modal) return;
        busy = true;
        QTest::qWait(100);
        Settle(p);
        if (Seen) Seen(modal);
        if (!modal->isVisible()) {
            busy = false;
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* button = box->button(Answer);
            if (!button) button = box->button(QMessageBox::Ok);
            if (!button) button = box->buttons().constFirst();
            button->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        busy = false;
    });
    timer_.start(200);
}

} // namespace marovi::tour
