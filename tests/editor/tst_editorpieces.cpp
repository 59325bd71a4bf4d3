#include "editor/highlightingtexteditor.h"
#include "editor/linepieces.h"
#include "editortesting.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace EditorTesting;

// Long lines, shown in pieces that the text never holds.
class TestEditorPieces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void longLinesShowInPieces();
    void editsAcrossPiecesKeepTheText();
    void randomEditsAcrossPieces();
    void paragraphsStartOnTheirOwnSide();
    void breaksStayBetweenClusters();
    void emojiLinesShowInShortPieces_data();
    void emojiLinesShowInShortPieces();
};

void TestEditorPieces::longLinesShowInPieces()
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

void TestEditorPieces::editsAcrossPiecesKeepTheText()
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
void TestEditorPieces::randomEditsAcrossPieces()
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

// Each paragraph starts on the side its own direction starts on, and every piece of a long one
// takes its direction: a piece that begins with a Latin word in a Hebrew line, and the pieces of
// a Latin line once a Hebrew letter is typed before it.
void TestEditorPieces::paragraphsStartOnTheirOwnSide()
{
    const QString latin = u"Brivel "_s.repeated(900);
    const QStringList lines{u"שלום עולם, זה תסריט."_s,        u"2026 مرحبا بالعالم"_s,
                            u"سلام دنیا، این یک متن است."_s,  u"ہیلو دنیا، یہ ایک متن ہے۔"_s,
                            u"Hola. Bienvenido a Brivel."_s,  u"Brivel שלום עולם"_s,
                            u"שלום "_s.repeated(300) + latin, latin};
    HighlightingTextEditor editor;
    editor.resize(400, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(lines.join(u'\n'));
    // The last row of each piece is short.
    const auto lastRowsStartOnTheirSide = [&] {
        const QStringList text = editor.text().split(u'\n');
        qsizetype line = -1;
        for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
            line += LinePieces::continuesLine(block) ? 0 : 1;
            const QRectF piece = editor.document()->documentLayout()->blockBoundingRect(block);
            const QRectF row = block.layout()->lineAt(block.lineCount() - 1).naturalTextRect();
            QVERIFY(text[line].isRightToLeft() ? piece.width() - row.right() < 3 : row.left() < 2);
        }
    };
    lastRowsStartOnTheirSide();
    // The caret at either end of a line, the right margin among them, is drawn inside the view.
    for (qsizetype start = 0; const QString &line : lines) {
        for (const qsizetype at : {start, start + line.size()}) {
            editor.setCaretPosition(int(at));
            QVERIFY2(editor.viewport()->rect().contains(editor.cursorRect()), qPrintable(line));
        }
        start += line.size() + 1;
    }
    editor.setCaretPosition(int(editor.text().size() - latin.size()));
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, u"ש"_s, {});
    lastRowsStartOnTheirSide();
    // The Latin line joined to the end of the Hebrew one, then broken off again inside it.
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    lastRowsStartOnTheirSide();
    editor.setCaretPosition(int(editor.text().indexOf(u"שלום "_s.repeated(300)) + 1'500));
    QTest::keyClick(&editor, Qt::Key_Return);
    lastRowsStartOnTheirSide();
}

// A vowel sign typed at the start of a piece belongs to the letter that ends the piece before:
// the break moves past it, within the edit's undo step, so that no caret goes between them.
void TestEditorPieces::breaksStayBetweenClusters()
{
    const QString line = u"नमस"_s.repeated(3'000);
    HighlightingTextEditor editor;
    editor.setText(line);
    const QTextBlock piece = editor.document()->findBlockByNumber(1);
    QVERIFY(LinePieces::continuesLine(piece));
    select(editor, piece.position(), piece.position());
    const int at = editor.editorCaretPosition();
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, u"\u093e"_s, {});
    QCOMPARE(editor.text(), QString(line).insert(at, u'\u093e'));
    QVERIFY(!editor.document()->findBlockByNumber(1).text().startsWith(u'\u093e'));
    undo(editor);
    QCOMPARE(editor.text(), line);
}

// Qt decodes a colour emoji's image each time it shapes it: a line of emoji is shown in pieces of
// a few hundred, however short it is in units, and each block keeps what Qt shaped for it until
// it changes, so that painting and moving the caret shape nothing again.
void TestEditorPieces::emojiLinesShowInShortPieces_data()
{
    QTest::addColumn<QString>("emoji");
    QTest::newRow("flags") << u"🇪🇸"_s;
    QTest::newRow("families") << u"👨\u200D👩\u200D👧\u200D👦"_s;
    QTest::newRow("flags and spaces") << u"🇪🇸 "_s;
}

void TestEditorPieces::emojiLinesShowInShortPieces()
{
    QFETCH(QString, emoji);
    const auto astral = [](QStringView text) {
        return int(
            std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isHighSurrogate(); }));
    };
    // As many as a line holds without being long.
    const QString full = emoji.repeated(2 * LinePieces::astralPieceLength / astral(emoji));
    const QString line = u"Hola "_s + full + full;
    HighlightingTextEditor editor;
    editor.resize(300, 200);
    editor.show();
    editor.setText(line);
    QCOMPARE(editor.text(), line);
    QTextDocument *document = editor.document();
    QVERIFY(document->blockCount() > 2);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    qsizetype offset = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QVERIFY(astral(block.text()) <= LinePieces::astralPieceLength);
        graphemes.setPosition(offset);
        QVERIFY(graphemes.isAtBoundary());
        offset += block.text().size();
    }

    // Typing the emoji that makes a line long breaks it; one undo takes back both.
    editor.setText(full);
    QCOMPARE(document->blockCount(), 1);
    select(editor, int(full.size()), int(full.size()));
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, emoji, {});
    QCOMPARE(editor.text(), full + emoji);
    QVERIFY(document->blockCount() > 1);
    QTest::keyClick(&editor, Qt::Key_Return);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        QVERIFY(block.layout()->cacheEnabled());
    undo(editor);
    undo(editor);
    QCOMPARE(editor.text(), full);
    QCOMPARE(document->blockCount(), 1);
    QVERIFY(document->begin().layout()->cacheEnabled());
}

QTEST_MAIN(TestEditorPieces)
#include "tst_editorpieces.moc"
