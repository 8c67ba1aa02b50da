// Long reports go into their text field part by part: every line once, in order, whether the
// parts come in through the event loop or are forced in before the text is read, and a new
// report replaces one still going in.
#include <QPlainTextEdit>
#include <QTest>

#include "app_test_support.h"
#include "widgets/text_filler.h"

using namespace marovi::app;
using namespace marovi::apptest;

namespace {

std::vector<std::string> Lines(const char* prefix, size_t n)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < n; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
}

QStringList Expected(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines) list << QString::fromStdString(line);
    return list;
}

} // namespace

class TTextFillerTest : public QObject {
    Q_OBJECT
private slots:
    void everyLineOnceWhicheverWayThePartsComeIn()
    {
        QPlainTextEdit edit;
        TTextFiller filler(&edit);
        const auto text = [&] { return edit.toPlainText().split(QLatin1Char('\n')); };

        const std::vector<std::string> first = Lines("a", 2 * TTextFiller::Part + 7);
        filler.Show(first);
        QVERIFY(filler.Filling());
        QCOMPARE(edit.document()->blockCount(), static_cast<int>(TTextFiller::Part));
        QVERIFY(WaitFor([&] { return !filler.Filling(); }));
        QCOMPARE(text(), Expected(first));
        QVERIFY(!edit.document()->isUndoAvailable());

        // Replaced while going in, then forced in at once: only the new lines.
        filler.Show(Lines("b", TTextFiller::Part + 1));
        const std::vector<std::string> second = Lines("c", TTextFiller::Part + 3);
        filler.Show(second);
        filler.Finish();
        QCOMPARE(text(), Expected(second));
        QTest::qWait(20); // a part scheduled before adds nothing
        QCOMPARE(text(), Expected(second));

        filler.Show({"short"});
        QVERIFY(!filler.Filling());
        QCOMPARE(edit.toPlainText(), QStringLiteral("short"));
    }
};

QTEST_MAIN(TTextFillerTest)
#include "text_filler_test.moc"
