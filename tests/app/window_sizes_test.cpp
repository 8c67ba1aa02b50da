// Every window at its minimum size shows the whole text of each label, button and check
// box it holds (on every tab).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app_test_support.h"
#include "main_form.h"
#include "program.h"
#include "shell_forms.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

// The width a control needs for its whole text; 0 for controls without one to check.
int NeededWidth(const QWidget* w)
{
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty() || label->wordWrap()) return 0;
        return label->sizeHint().width();
    }
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
        return static_cast<const QAbstractButton*>(w)->text().isEmpty() ? 0 : w->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        if (button->text().isEmpty()) return 0;
        // The text inside the frame, not touching it (the style's preferred width aside).
        const int text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
        return text + 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) + 4;
    }
    return 0;
}

// The part of a control that its window shows: clipped by every parent, except in the
// directions in which a scroll area lets the user scroll to the rest.
QRect ShownRect(const QWidget* w, const QWidget* window)
{
    QRect shown(w->mapTo(window, QPoint(0, 0)), w->size());
    bool clipX = true, clipY = true;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        const auto* scroll = qobject_cast<const QScrollArea*>(p->parentWidget());
        if (scroll && scroll->viewport() == p) {
            clipX = clipX && scroll->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
            clipY = clipY && scroll->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
        }
        const QRect area(p->mapTo(window, QPoint(0, 0)), p->size());
        if (clipX) shown.setLeft(std::max(shown.left(), area.left())), shown.setRight(std::min(shown.right(), area.right()));
        if (clipY) shown.setTop(std::max(shown.top(), area.top())), shown.setBottom(std::min(shown.bottom(), area.bottom()));
        if (p == window) break;
    }
    return shown;
}

void CollectCut(QWidget* window, QStringList& cut)
{
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        const int needed = NeededWidth(w);
        if (needed == 0) continue;
        // The status list's header scrolls sideways with the list.
        if (w->objectName() == QLatin1String("Label11")) continue;
        const QRect shown = ShownRect(w, window);
        const int minHeight = std::min(w->sizeHint().height(), w->fontMetrics().height());
        if (shown.width() < needed || shown.height() < minHeight) {
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const auto* label = qobject_cast<QLabel*>(w);
            cut << QStringLiteral("%1: \"%2\" (%3 of %4 px)")
                       .arg(window->objectName(), button ? button->text() : label->text())
                       .arg(shown.width())
                       .arg(needed);
        }
    }
}

// Shows a window at its minimum size and lists the texts it cuts, on each of its tabs.
QStringList CutTexts(QWidget* window, TStepRunner& runner)
{
    window->show();
    for (int i = 0; i < 2; ++i) { // once more after the texts it fills in on showing
        runner.WaitIdle();
        QApplication::processEvents();
        window->resize(1, 1); // held at the minimum
        QApplication::processEvents();
    }
    QStringList cut;
    const QList<QTabWidget*> tabs = window->findChildren<QTabWidget*>();
    if (tabs.isEmpty()) CollectCut(window, cut);
    for (QTabWidget* t : tabs)
        for (int i = 0; i < t->count(); ++i) {
            t->setCurrentIndex(i);
            QApplication::processEvents();
            CollectCut(window, cut);
        }
    window->hide();
    return cut;
}

} // namespace

class TWindowSizesTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsWholeTextsAtItsMinimumSize()
    {
        QTemporaryDir dir;
        auto p = AnalysedProgram(dir.filePath(QStringLiteral("sizes.mgf")), 30, 30, 5);
        TSplashForm splash(60000);
        // Every window of the program: the main window, the windows it owns, the splash.
        QList<QWidget*> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (QString::fromLatin1(w->metaObject()->className()).startsWith(QLatin1String("marovi::app::"))) windows << w;
        QCOMPARE(windows.size(), 20);
        QStringList cut;
        for (QWidget* w : windows) cut << CutTexts(w, *p->Runner);
        for (const QString& c : cut) qWarning("%s", qPrintable(c));
        QVERIFY(cut.isEmpty());
    }

    void mainWindowFitsA1024By768Screen()
    {
        auto p = MakeProgram(100, 100);
        ClickButton(p->MainForm.get(), "InitButton1");
        SingleStep(*p); // the memory line fills in
        const QSize least = p->MainForm->minimumSizeHint();
        QVERIFY2(least.width() <= 1000 && least.height() <= 700, qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    }
};

QTEST_MAIN(TWindowSizesTest)
#include "window_sizes_test.moc"
