#include "editor/highlightingtexteditor.h"
#include "editor/slashcommandpalette.h"
#include "settings/notchsettings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Fixture
{
    explicit Fixture(const QString &text = {}, int caret = -1)
    {
        window.resize(500, 300);
        editor = new HighlightingTextEditor(&window);
        editor->resize(500, 300);
        editor->setText(text);
        editor->setCaretPosition(caret < 0 ? int(text.size()) : caret);
        window.show();
        editor->setFocus();
    }

    SlashCommandPalette &palette() const { return *editor->slashPalette(); }
    QStringList rows() const
    {
        QStringList triggers;
        for (const SlashCommand &command : palette().filteredCommands())
            triggers.append(command.trigger);
        return palette().isOpen() ? triggers : QStringList();
    }

    QWidget window;
    HighlightingTextEditor *editor = nullptr;
};

} // namespace

class TestSlashCommandPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

    void typingOpensFiltersAndInserts()
    {
        Fixture f(u"Hola "_s);
        QTest::keyClicks(f.editor, u"/"_s);
        QCOMPARE(f.rows().size(), 15);
        SlashCommandPopupView *panel = f.palette().panel();
        QVERIFY(panel->windowFlags().testFlag(Qt::ToolTip));
        QVERIFY(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QCOMPARE(panel->size(), QSize(250, 300));
        QVERIFY(!panel->mask().isEmpty());
        QTest::keyClicks(f.editor, u"pa"_s);
        QCOMPARE(f.rows(), (QStringList{u"pause"_s, u"break"_s}));
        // Two rows under two headers: taller than the estimate, and shown whole.
        QCOMPARE(panel->height(),
                 SlashCommandPopupView::contentHeight(f.palette().filteredCommands()));
        QVERIFY(panel->height() > 120 && panel->rowRect(1).bottom() < panel->height());
        // Hangs 4 below the caret of the "/".
        const QRect caret = f.editor->caretRect(5);
        QCOMPARE(panel->pos(),
                 f.editor->viewport()->mapToGlobal(caret.bottomLeft()) + QPoint(0, 5));
        QTest::keyClick(f.editor, Qt::Key_Down);
        QTest::keyClick(f.editor, Qt::Key_Down); // stays on the last row
        QCOMPARE(f.palette().selectedCommandIndex(), 1);
        QTest::keyClick(f.editor, Qt::Key_Return);
        QCOMPARE(f.editor->text(), u"Hola ── ── ── ── ──"_s);
        QVERIFY(!f.palette().isOpen());
        QVERIFY(!f.palette().range());
        QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.editor->text(), u"Hola /pa"_s);

        // Tab inserts too; the list replaces "/li" with three bullet lines.
        f.editor->setText(QString());
        QTest::keyClicks(f.editor, u"/li"_s);
        QTest::keyClick(f.editor, Qt::Key_Tab);
        QCOMPARE(f.editor->text(), u"• \n• \n• "_s);
    }

    void closing()
    {
        Fixture f(u"uno dos"_s);
        QTest::keyClicks(f.editor, u" /p"_s);
        QTest::keyClick(f.editor, Qt::Key_Escape);
        QVERIFY(!f.palette().isOpen());
        QCOMPARE(f.editor->text(), u"uno dos /p"_s);

        QTest::keyClicks(f.editor, u"a"_s); // "/pa" opens again
        QVERIFY(f.palette().isOpen());
        QTest::keyClick(f.editor, Qt::Key_Left); // still inside the range
        QVERIFY(f.palette().isOpen());
        QTest::keyClick(f.editor, Qt::Key_Right);
        QTest::keyClicks(f.editor, u"zz"_s); // nothing matches
        QVERIFY(!f.palette().isOpen());
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(f.editor, Qt::Key_Backspace); // back to "/" and then without it
        QVERIFY(!f.palette().isOpen());

        // The caret moved away with the mouse.
        QTest::keyClicks(f.editor, u" /"_s);
        QVERIFY(f.palette().isOpen());
        QTest::mouseClick(f.editor->viewport(), Qt::LeftButton, {},
                          f.editor->caretRect(1).center());
        QVERIFY(!f.palette().isOpen());
        QVERIFY(!f.palette().range());

        // Another text (another page, a deletion, a load), another program and a hidden window
        // close it, and Return afterwards is an ordinary new line.
        QTest::keyClicks(f.editor, u" /"_s);
        QVERIFY(f.palette().isOpen());
        f.editor->setText(u"otra página"_s);
        QVERIFY(!f.palette().range());
        QTest::keyClick(f.editor, Qt::Key_Return);
        QCOMPARE(f.editor->text().count(u'\n'), 1);
        QTest::keyClicks(f.editor, u"/"_s);
        QVERIFY(f.palette().isOpen());
        // Another program made active (Alt+Tab) hides the list; the range waits for the next edit.
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!f.palette().isOpen());
        QVERIFY(f.palette().range());
        QTest::keyClicks(f.editor, u"p"_s);
        QVERIFY(f.palette().isOpen());
        f.window.hide();
        QVERIFY(!f.palette().isOpen());
        QVERIFY(!f.palette().range());
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty page") << QString() << true;
        QTest::newRow("inside a word") << u"a"_s << false;
        QTest::newRow("after an emoji") << u"😀"_s << false;
        QTest::newRow("end of a long word") << QString(500'000, u'a') << false;
        QTest::newRow("after a long word") << QString(500'000, u'a') + u' ' << true;
    }

    void badInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, opens);
        Fixture f(text);
        QTest::keyClicks(f.editor, u"/"_s);
        QCOMPARE(f.palette().isOpen(), opens);
        QCOMPARE(f.editor->text().size(), text.size() + 1);
        if (opens) {
            QCOMPARE(f.palette().range()->start, int(text.size()));
            QTest::keyClick(f.editor, Qt::Key_Return);
            QCOMPARE(f.editor->text(), text + u"• "_s);
        }
    }

    void buttonKeepsTheSelectionAndTheMouseChooses()
    {
        Fixture f(u"hola mundo"_s);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTextCursor cursor = f.editor->textCursor();
        cursor.setPosition(5);
        cursor.setPosition(10, QTextCursor::KeepAnchor);
        f.editor->setTextCursor(cursor);
        f.editor->presentSlashMenu();
        QCOMPARE(f.rows().size(), 15);
        QCOMPARE(f.palette().range()->length, 0);
        SlashCommandPopupView *panel = f.palette().panel();
        // The pointer over the third row selects it; a click inserts its cue before the
        // selection, which stays in the text.
        const QPoint third = panel->rowRect(2).center();
        QMouseEvent move(QEvent::MouseMove, third, panel->mapToGlobal(third), Qt::NoButton, {}, {});
        QApplication::sendEvent(panel, &move);
        QCOMPARE(f.palette().selectedCommandIndex(), 2);
        QTest::mouseClick(panel, Qt::LeftButton, {}, panel->rowRect(2).center());
        QCOMPARE(f.editor->text(), u"hola [Pausa]mundo"_s);
        QVERIFY(!panel->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.editor);
    }
};

QTEST_MAIN(TestSlashCommandPalette)

#include "tst_slashcommandpalette.moc"
