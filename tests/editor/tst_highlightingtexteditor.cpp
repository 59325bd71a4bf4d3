#include "editor/highlightingtexteditor.h"
#include "editortesting.h"
#include "settings/palette.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace EditorTesting;

namespace {

using Ranges = QList<QPair<int, int>>;

} // namespace

class TestHighlightingTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void styles_data();
    void styles();
    void bulletEditing_data();
    void bulletEditing();
    void eachOwnEditIsOneUndoStep();
    void changeReportsRebuildTheText();
    void offsetsAreUtf16();
    void textFromOutside();
    void flashLastsUntilItsTimerOrAnEdit();
};

void TestHighlightingTextEditor::styles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed"); // at the end, after the text is set
    QTest::addColumn<QString>("style");
    QTest::addColumn<Ranges>("ranges"); // of the first line
    QTest::newRow("cues") << u"[Pausa] y [Saludo]"_s << QString() << u"cue"_s
                          << Ranges{{0, 7}, {10, 8}};
    QTest::newRow("empty, unclosed") << u"[] y [ sin cierre"_s << QString() << u"cue"_s << Ranges{};
    QTest::newRow("to the first ]") << u"[a [b] c]"_s << QString() << u"cue"_s << Ranges{{0, 6}};
    QTest::newRow("emoji: two units") << u"😀 [😀]"_s << QString() << u"cue"_s << Ranges{{3, 4}};
    QTest::newRow("one line only") << u"[Pausa\nsigue]"_s << QString() << u"cue"_s << Ranges{};
    QTest::newRow("closed by typing") << u"[Pausa"_s << u"]"_s << u"cue"_s << Ranges{{0, 7}};
    QTest::newRow("separator") << u"── ── ──"_s << QString() << u"separator"_s << Ranges{{0, 8}};
    QTest::newRow("not a separator") << u"── x ──"_s << QString() << u"separator"_s << Ranges{};
    QTest::newRow("bullet") << u"• uno"_s << QString() << u"bullet"_s << Ranges{{0, 1}};
    QTest::newRow("indented bullet") << u"  • uno"_s << QString() << u"bullet"_s << Ranges{};
}

void TestHighlightingTextEditor::styles()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(QString, style);
    QFETCH(Ranges, ranges);
    HighlightingTextEditor editor;
    editor.setText(text);
    editor.moveCursor(QTextCursor::End);
    QTest::keyClicks(&editor, typed);
    Ranges styled;
    for (const auto &range : editor.document()->firstBlock().layout()->formats()) {
        const QColor colour = range.format.foreground().color();
        const bool matches = style == u"cue"
                                 ? range.format.fontItalic() && colour == whiteAt(0.55)
                                       && range.format.background().color() == whiteAt(0.08)
                             : style == u"separator" ? colour == whiteAt(0.42)
                                                     : colour == accentTeal();
        if (matches)
            styled.append({range.start, range.length});
    }
    QCOMPARE(styled, ranges);
}

void TestHighlightingTextEditor::bulletEditing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("key"); // 0: type `typed`
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    const int ret = Qt::Key_Return;
    const int back = Qt::Key_Backspace;
    QTest::newRow("- becomes a bullet") << u"x\n"_s << 2 << 2 << 0 << u"- a"_s << u"x\n• a"_s;
    QTest::newRow("* becomes a bullet") << QString() << 0 << 0 << 0 << u"* "_s << u"• "_s;
    QTest::newRow("- after text") << u"a "_s << 2 << 2 << 0 << u"- "_s << u"a - "_s;
    QTest::newRow("Return continues")
        << u"  • a"_s << 5 << 5 << ret << QString() << u"  • a\n  • "_s;
    QTest::newRow("Return ends the list")
        << u"• a\n  • "_s << 8 << 8 << ret << QString() << u"• a\n"_s;
    QTest::newRow("Return on plain text") << u"a"_s << 1 << 1 << ret << QString() << u"a\n"_s;
    QTest::newRow("Return, selection") << u"• uno"_s << 2 << 5 << ret << QString() << u"• \n"_s;
    QTest::newRow("Return, selected bullet") << u"• "_s << 0 << 2 << ret << QString() << u"\n"_s;
    QTest::newRow("Backspace on a bullet") << u"  • "_s << 4 << 4 << back << QString() << u"  "_s;
    QTest::newRow("Backspace after a letter") << u"a• "_s << 3 << 3 << back << QString() << u"a•"_s;
    QTest::newRow("Backspace, selection") << u"• uno"_s << 5 << 2 << back << QString() << u"• "_s;
    QTest::newRow("Backspace, selection to bullet")
        << u"x\n• "_s << 1 << 4 << back << QString() << u"x"_s;
    QTest::newRow("Tab indents the first line")
        << u"• a\n• b"_s << 1 << 7 << int(Qt::Key_Tab) << QString() << u"  • a\n• b"_s;
    QTest::newRow("Tab on plain text")
        << u"a"_s << 1 << 1 << int(Qt::Key_Tab) << QString() << u"a\t"_s;
    QTest::newRow("Shift+Tab") << u"    • a"_s << 7 << 7 << int(Qt::Key_Backtab) << QString()
                               << u"  • a"_s;
    QTest::newRow("Shift+Tab, no spaces")
        << u"• a"_s << 3 << 3 << int(Qt::Key_Backtab) << QString() << u"• a"_s;
}

void TestHighlightingTextEditor::bulletEditing()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    HighlightingTextEditor editor;
    editor.setText(text);
    select(editor, anchor, position);
    if (key == 0)
        QTest::keyClicks(&editor, typed);
    else
        QTest::keyClick(&editor, Qt::Key(key),
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(editor.text(), after);
    QCOMPARE(editor.textCursor().position(), after.size());
}

void TestHighlightingTextEditor::eachOwnEditIsOneUndoStep()
{
    HighlightingTextEditor editor;
    QTest::keyClicks(&editor, u"- uno"_s); // the bullet comes between "- " and "uno"
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, u"dos"_s);
    QTest::keyClick(&editor, Qt::Key_Tab);
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, u"- "_s);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(editor.text(), u"• uno\n  • dos\n"_s);
    for (const QString &state :
         {u"• uno\n  • dos\n• "_s, u"• uno\n  • dos\n- "_s, u"• uno\n  • dos\n"_s,
          u"• uno\n  • dos\n  • "_s, u"• uno\n  • dos"_s, u"• uno\n• dos"_s, u"• uno\n• "_s,
          u"• uno"_s, u"• "_s, u"- "_s, QString()}) {
        undo(editor);
        QCOMPARE(editor.text(), state);
    }
    QVERIFY(!editor.document()->isUndoAvailable());
    undo(editor, Qt::ShiftModifier); // redoing the typed dash makes no bullet of its own
    QCOMPARE(editor.text(), u"- "_s);
    undo(editor, Qt::ShiftModifier);
    QCOMPARE(editor.text(), u"• "_s);
}

void TestHighlightingTextEditor::changeReportsRebuildTheText()
{
    HighlightingTextEditor editor;
    editor.setText(u"Hola [Pausa]\n• uno\u00a0dos"_s);
    QString copy = editor.text();
    int reports = 0;
    connect(&editor, &HighlightingTextEditor::textEdited, this,
            [&](int position, int removedLength, const QString &inserted) {
                copy.replace(position, removedLength, inserted);
                ++reports;
            });
    editor.moveCursor(QTextCursor::End);
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, u"tres"_s);
    QCOMPARE(reports, 5); // one per keystroke; restyling reports nothing
    select(editor, 2, 9);
    QTest::keyClicks(&editor, u"x"_s);
    undo(editor);
    undo(editor, Qt::ShiftModifier);
    editor.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&editor, u"- "_s);
    editor.insertPlainText(u"a\r\nb"_s);
    QCOMPARE(copy, editor.text());
    QVERIFY(copy.contains(u'\u00a0'));
}

void TestHighlightingTextEditor::offsetsAreUtf16()
{
    HighlightingTextEditor editor;
    editor.setText(u"é😀e\u0301x"_s); // precomposed, two units, combining accent
    QSignalSpy caretReports(&editor, &HighlightingTextEditor::editorCaretPositionChanged);
    editor.moveCursor(QTextCursor::End);
    QTest::keyClick(&editor, Qt::Key_Left);
    QTest::keyClick(&editor, Qt::Key_Left);
    QCOMPARE(caretReports, (QList<QVariantList>{{6}, {5}, {3}}));
    editor.setCaretPosition(1);
    QTest::keyClicks(&editor, u"!"_s);
    QCOMPARE(editor.text(), u"é!😀e\u0301x"_s);
    editor.setCaretPosition(8);
    QCOMPARE(editor.editorCaretPosition(), 2);
}

void TestHighlightingTextEditor::textFromOutside()
{
    HighlightingTextEditor editor;
    editor.setText(u"una línea bastante larga"_s);
    select(editor, 4, 20);
    QSignalSpy edits(&editor, &HighlightingTextEditor::textEdited);
    editor.setText(u"una línea"_s);
    QCOMPARE(editor.textCursor().anchor(), 4);
    QCOMPARE(editor.textCursor().position(), 9);
    editor.setText(u"- "_s); // not typed: stays a dash, nothing to undo
    QCOMPARE(editor.text(), u"- "_s);
    QVERIFY(!editor.document()->isUndoAvailable());
    QCOMPARE(edits.count(), 0);
    editor.setText(u"a\r\nb\rc"_s);
    QCOMPARE(edits, (QList<QVariantList>{{0, 6, u"a\nb\nc"_s}}));
}

void TestHighlightingTextEditor::flashLastsUntilItsTimerOrAnEdit()
{
    HighlightingTextEditor editor;
    editor.setText(u"😀 [Pausa] fin"_s);
    editor.bumpHighlight(3, 8);
    editor.bumpHighlight(3, 13); // past the end
    editor.bumpHighlight(2, 0);
    QCOMPARE(editor.extraSelections().size(), 1);
    const QTextEdit::ExtraSelection flash = editor.extraSelections().first();
    QCOMPARE(flash.cursor.selectionStart(), 3);
    QCOMPARE(flash.cursor.selectionEnd(), 11);
    QColor accent(10, 132, 255);
    accent.setAlphaF(0.15f);
    QCOMPARE(flash.format.background().color(), accent);
    auto *timer = editor.findChild<QTimer *>();
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 600);
    QVERIFY(QSignalSpy(timer, &QTimer::timeout).wait(5000));
    QVERIFY(editor.extraSelections().isEmpty());

    editor.bumpHighlight(0, 2);
    QTest::keyClicks(&editor, u"!"_s);
    QVERIFY(editor.extraSelections().isEmpty());
    QVERIFY(!timer->isActive());
}

QTEST_MAIN(TestHighlightingTextEditor)
#include "tst_highlightingtexteditor.moc"
