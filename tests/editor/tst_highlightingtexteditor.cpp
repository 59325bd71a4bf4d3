#include "editor/highlightingtexteditor.h"
#include "editor/linepieces.h"
#include "settings/displaytext.h"
#include "settings/palette.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using Ranges = QList<QPair<int, int>>;

void select(HighlightingTextEditor &editor, int anchor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

void undo(HighlightingTextEditor &editor, Qt::KeyboardModifiers extra = {})
{
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | extra);
}

// Keeps `copy` in step with the edits the editor reports, as the page model does.
void mirrorEdits(HighlightingTextEditor &editor, QString &copy)
{
    copy = editor.text();
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, &editor,
                     [&copy](int position, int removedLength, const QString &inserted) {
                         copy.replace(position, removedLength, inserted);
                     });
}

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
    void longLinesShowInPieces();
    void editsAcrossPiecesKeepTheText();
    void randomEditsAcrossPieces();
    void giantClustersShowCut();
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

void TestHighlightingTextEditor::longLinesShowInPieces()
{
    // A line of clusters without a space, and a line of words and cue markers.
    const QString letters = u"e\u0301"_s.repeated(5'000);
    const QString text = letters + u"\n"_s + u"una [Pausa larga] palabra "_s.repeated(400);
    HighlightingTextEditor editor;
    QSignalSpy edits(&editor, &HighlightingTextEditor::textEdited);
    editor.setText(text);
    QCOMPARE(editor.text(), text);
    QCOMPARE(edits.count(), 0);
    QVERIFY(!editor.document()->isUndoAvailable());
    QVERIFY(editor.document()->blockCount() >= 8);
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        const QString piece = block.text();
        QVERIFY(piece.size() <= LinePieces::pieceLength);
        QVERIFY(!piece.startsWith(u'\u0301'));
        int cues = 0;
        for (const auto &range : block.layout()->formats())
            cues += range.format.fontItalic() ? 1 : 0;
        QCOMPARE(cues, piece.count(u"[Pausa larga]"_s));
    }

    // The first break stands at the same offset in the document and in the text.
    const int pieceEnd = editor.document()->findBlockByNumber(1).position() - 1;
    editor.setCaretPosition(pieceEnd);
    QCOMPARE(editor.editorCaretPosition(), pieceEnd);
    QTest::keyClick(&editor, Qt::Key_Right);
    QCOMPARE(editor.editorCaretPosition(), pieceEnd + 2);
    editor.bumpHighlight(pieceEnd - 2, 4);
    const QString flashed = editor.extraSelections().first().cursor.selectedText();
    QCOMPARE(QString(flashed).remove(QChar::ParagraphSeparator), text.mid(pieceEnd - 2, 4));
    QVERIFY(flashed.contains(QChar::ParagraphSeparator));

    // A bullet line in pieces still continues on Return.
    editor.setText(u"• "_s + u"punto "_s.repeated(2'000));
    editor.moveCursor(QTextCursor::End);
    QTest::keyClick(&editor, Qt::Key_Return);
    QVERIFY(editor.text().endsWith(u" \n• "_s));
}

void TestHighlightingTextEditor::editsAcrossPiecesKeepTheText()
{
    const QString original = u"palabra "_s.repeated(1'000) + u"\nfin"_s;
    HighlightingTextEditor editor;
    editor.setText(original);
    QString copy;
    mirrorEdits(editor, copy);
    QTextDocument *document = editor.document();
    const auto pieceStart = [document] { return document->findBlockByNumber(1).position(); };
    const int textBreak = pieceStart() - 1;

    // Backspace at the start of a piece and Delete at the end of one remove a character.
    select(editor, pieceStart(), pieceStart());
    QTest::keyClick(&editor, Qt::Key_Backspace);
    select(editor, pieceStart() - 1, pieceStart() - 1);
    QTest::keyClick(&editor, Qt::Key_Delete);
    QCOMPARE(editor.text(), QString(original).remove(textBreak - 1, 2));
    QCOMPARE(copy, editor.text());

    // A selection across a break copies, and is replaced, as the text it covers.
    select(editor, pieceStart() - 3, pieceStart() + 2);
    editor.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), editor.text().mid(textBreak - 3, 4));
    QTest::keyClicks(&editor, u"X"_s);
    QCOMPARE(copy, editor.text());

    // Return at the start of a piece is a line break of the text; Return inside a later piece
    // makes a line of its own, not another piece.
    select(editor, pieceStart(), pieceStart());
    QTest::keyClick(&editor, Qt::Key_Return);
    select(editor, document->lastBlock().previous().position() + 3,
           document->lastBlock().previous().position() + 3);
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(copy, editor.text());
    QCOMPARE(editor.text().count(u'\n'), 3);

    // A long paste into a piece is shown in pieces too.
    QGuiApplication::clipboard()->setText(u"o"_s.repeated(5'000));
    select(editor, 10, 10);
    editor.paste();
    QCOMPARE(copy, editor.text());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= LinePieces::maxLineLength);
    const QString edited = editor.text();

    while (document->isUndoAvailable())
        undo(editor);
    QCOMPARE(editor.text(), original);
    QCOMPARE(copy, original);
    while (document->isRedoAvailable())
        undo(editor, Qt::ShiftModifier);
    QCOMPARE(editor.text(), edited);
    QCOMPARE(copy, edited);
}

// Edits at and across piece breaks, undone and redone: after each, the text, the reported
// copy and the pieces agree, and no block outgrows the limit except in an undone state.
void TestHighlightingTextEditor::randomEditsAcrossPieces()
{
    QRandomGenerator random(42);
    const QString original = u"ab[cd ef] "_s.repeated(700) + u"\n"_s + u"x\u0301"_s.repeated(3'500)
                             + u"\n• "_s + u"w "_s.repeated(4'000);
    for (int round = 0; round < 12; ++round) {
        // Shown, so that Qt lays out what it paints and scrolls to.
        HighlightingTextEditor editor;
        editor.resize(300, 200);
        editor.show();
        editor.setText(original);
        QString copy;
        mirrorEdits(editor, copy);
        QTextDocument *document = editor.document();
        for (int step = 0; step < 50; ++step) {
            // Mostly at the edges of blocks, sometimes with a short selection.
            const QTextBlock block
                = document->findBlockByNumber(int(random.bounded(document->blockCount())));
            const int position
                = random.bounded(2) ? block.position() : block.position() + block.length() - 1;
            const int anchor = random.bounded(4) ? position
                                                 : std::clamp(position + int(random.bounded(9)) - 4,
                                                              0, document->characterCount() - 1);
            select(editor, anchor, position);
            const QString before = copy;
            const bool undoable = document->isUndoAvailable();
            const quint32 edit = random.bounded(10);
            // Typing over a selection never puts back what was there, so every undo shows.
            const QChar unique(0x4e00 + round * 100 + step);
            switch (edit) {
            case 0:
                QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, unique, {});
                break;
            case 1:
                QTest::keyClick(&editor, Qt::Key_Backspace);
                break;
            case 2:
                QTest::keyClick(&editor, Qt::Key_Delete);
                break;
            case 3:
                select(editor, position, position);
                QTest::keyClick(&editor, Qt::Key_Return);
                break;
            case 4:
                QTest::keyClick(&editor, Qt::Key_Left, Qt::ShiftModifier);
                QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, unique, {});
                break;
            case 5:
                QTest::keyClick(&editor, Qt::Key_Backspace, Qt::ControlModifier);
                break;
            case 6:
                QGuiApplication::clipboard()->setText(
                    unique + u"zz "_s.repeated(int(random.bounded(3'000))));
                editor.paste();
                break;
            case 7:
                undo(editor);
                break;
            case 8:
                undo(editor, Qt::ShiftModifier);
                break;
            case 9:
                select(editor, position, position);
                QTest::keyClick(&editor, Qt::Key_Tab);
                break;
            }
            // Every step undone changes the text: piece breaks go with the edit that made them.
            QVERIFY(edit != 7 || !undoable || copy != before);
            QString pieces;
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                if (block != document->begin() && !LinePieces::continuesLine(block))
                    pieces += u'\n';
                pieces += block.text();
                QVERIFY(block.length() - 1 <= LinePieces::maxLineLength
                        || document->isRedoAvailable());
            }
            QCOMPARE(editor.text(), pieces);
            QCOMPARE(copy, pieces);
            QVERIFY(editor.editorCaretPosition() <= pieces.size());
        }
        while (document->isUndoAvailable())
            undo(editor);
        QCOMPARE(copy, original);
    }
}

// A cluster of 50,000 marks and one of 100,000 emoji joined by zero-width joiners: the document
// shows each cut, in short whole pieces, while offsets, the caret, copies and edits keep the
// stored text.
void TestHighlightingTextEditor::giantClustersShowCut()
{
    QString marks(u"a"_s);
    for (int i = 0; i < 50'000; ++i)
        marks += QChar(char16_t(0x0300 + i % 0x70));
    const QString emoji = QString::fromUcs4(U"\U0001F469").repeated(100'000);
    QString joined;
    for (qsizetype i = 0; i < emoji.size(); i += 2)
        joined += (i > 0 ? u"\u200d"_s : QString()) + emoji.mid(i, 2);
    const QString original = u"Hola "_s + marks + u" fin\n"_s + joined + u" x"_s;
    HighlightingTextEditor editor;
    editor.setText(original);
    QCOMPARE(editor.text(), original);
    QCOMPARE(editor.textLength(), original.size());
    QVERIFY(editor.document()->characterCount() < 200);
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        const QString piece = block.text();
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece);
        for (qsizetype start = 0, end = graphemes.toNextBoundary(); end != -1;
             start = end, end = graphemes.toNextBoundary())
            QVERIFY(end - start <= DisplayText::maximumClusterLength + 1); // and a placeholder
        for (qsizetype i = 0; i < piece.size(); ++i) {
            QVERIFY(!piece[i].isHighSurrogate()
                    || (i + 1 < piece.size() && piece[i + 1].isLowSurrogate()));
            QVERIFY(!piece[i].isLowSurrogate() || (i > 0 && piece[i - 1].isHighSurrogate()));
        }
    }
    QString copy;
    mirrorEdits(editor, copy);

    // The caret steps over a cut cluster whole, and types after all of it.
    const int afterMarks = 5 + int(marks.size());
    editor.setCaretPosition(afterMarks);
    QCOMPARE(editor.editorCaretPosition(), afterMarks);
    QTest::keyClicks(&editor, u"X"_s);
    QCOMPARE(editor.text(), QString(original).insert(afterMarks, u'X'));
    QCOMPARE(copy, editor.text());
    QTest::keyClick(&editor, Qt::Key_Left);
    QTest::keyClick(&editor, Qt::Key_Left);
    QCOMPARE(editor.editorCaretPosition(), 5);

    // Selected, it copies and goes as the stored cluster.
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    editor.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), marks);
    QTest::keyClick(&editor, Qt::Key_Delete);
    QCOMPARE(editor.text(), u"Hola X fin\n"_s + joined + u" x"_s);
    QCOMPARE(copy, editor.text());

    // Pasted back, it is cut again; undo and redo keep the text and the report in step.
    editor.paste();
    QCOMPARE(editor.text(), QString(original).insert(afterMarks, u'X'));
    QCOMPARE(copy, editor.text());
    QVERIFY(editor.document()->characterCount() < 200);
    const QString edited = editor.text();
    while (editor.document()->isUndoAvailable())
        undo(editor);
    QCOMPARE(editor.text(), original);
    QCOMPARE(copy, original);
    while (editor.document()->isRedoAvailable())
        undo(editor, Qt::ShiftModifier);
    QCOMPARE(editor.text(), edited);
    QCOMPARE(copy, edited);

    // An offset inside the hidden part of a cluster stands after it.
    editor.setCaretPosition(1'000);
    QCOMPARE(editor.editorCaretPosition(), afterMarks);
    QCOMPARE(editor.textRange(3, afterMarks + 2), edited.mid(3, afterMarks - 1));

    // Backspace after a cut cluster first removes the rest that is not drawn.
    QTest::keyClick(&editor, Qt::Key_Backspace);
    constexpr int kept = DisplayText::maximumClusterLength;
    QCOMPARE(editor.text(), QString(edited).remove(5 + kept, marks.size() - kept));
    QCOMPARE(copy, editor.text());
}

QTEST_MAIN(TestHighlightingTextEditor)
#include "tst_highlightingtexteditor.moc"
