#include "common/clusters.h"
#include "common/xvfb.h"
#include "editor/highlightingtexteditor.h"
#include "editor/linepieces.h"
#include "editortesting.h"
#include "settings/displaytext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>

#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;
using namespace EditorTesting;
using namespace TestSupport;

// Grapheme clusters too long to lay out, shown cut.
class TestEditorClusters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void giantClustersShowCut();
    void clustersGrownByEditsShowCut();
    void editsBesideClustersUndoExactly_data();
    void editsBesideClustersUndoExactly();
    void rangesOfCutClusters_data();
    void rangesOfCutClusters();
    void mouseStaysOnClusterBoundaries_data();
    void mouseStaysOnClusterBoundaries();
    void wordKeysStayOnClusterBoundaries_data();
    void wordKeysStayOnClusterBoundaries();
    void backspaceLeavesNoHalfCluster_data();
    void backspaceLeavesNoHalfCluster();
    void textDraggedAlongItsLineGoesWhereDropped();
};

// A cluster of 50,000 marks and one of 100,000 emoji joined by zero-width joiners: the document
// shows each cut, in short whole pieces, while offsets, the caret, copies and edits keep the
// stored text.
void TestEditorClusters::giantClustersShowCut()
{
    const QString heavy = u"a"_s + marks(50'000);
    const QString family = joined(U'\U0001F469', 100'000);
    const QString original = u"Hola "_s + heavy + u" fin\n"_s + family + u" x"_s;
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
    const int afterMarks = 5 + int(heavy.size());
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
    QCOMPARE(QGuiApplication::clipboard()->text(), heavy);
    QTest::keyClick(&editor, Qt::Key_Delete);
    QCOMPARE(editor.text(), u"Hola X fin\n"_s + family + u" x"_s);
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
    QCOMPARE(editor.text(), QString(edited).remove(5 + kept, heavy.size() - kept));
    QCOMPARE(copy, editor.text());
}

// A cluster that typing, pasting 31 marks at a time or a drop makes too long is cut as a loaded
// one is, in the edit's undo step; the text keeps it whole through edits, undo and redo.
void TestEditorClusters::clustersGrownByEditsShowCut()
{
    const QString original = u"Hola o fin."_s;
    HighlightingTextEditor editor;
    editor.resize(400, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(original);
    QString copy;
    mirrorEdits(editor, copy);
    editor.setCaretPosition(6);
    // The last mark typed makes the cluster too long.
    for (const QChar mark : marks(32))
        QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, mark, {});
    QGuiApplication::clipboard()->setText(marks(31));
    for (int i = 0; i < 100; ++i)
        editor.paste();
    QMimeData dropped;
    dropped.setText(marks(31));
    const QPoint point = editor.caretRect(editor.editorCaretPosition()).center();
    QDragEnterEvent enter(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(editor.viewport(), &enter);
    QDropEvent drop(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(editor.viewport(), &drop);
    const QString edited = QString(original).insert(6, marks(32) + marks(31).repeated(101));
    QCOMPARE(editor.text(), edited);
    QVERIFY(editor.document()->characterCount() < 50); // the cluster's start and a placeholder
    while (editor.document()->isUndoAvailable()) {
        const QString before = copy;
        undo(editor);
        QVERIFY(copy != before); // no step of its own for a cut
    }
    QCOMPARE(editor.text(), original);
    while (editor.document()->isRedoAvailable())
        undo(editor, Qt::ShiftModifier);
    QCOMPARE(copy, edited);
    QVERIFY(editor.document()->characterCount() < 50);
}

// Every edit before, after or across a long cluster, undone and redone, gives back exactly the
// stored text it started from and the one it made.
void TestEditorClusters::editsBesideClustersUndoExactly_data()
{
    QTest::addColumn<QString>("before");
    // The caret goes where the user takes it: `steps` presses of Right from the start, then
    // `selected` of Shift+Right.
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QKeySequence>("keys"); // the clipboard holds the cluster
    QTest::addColumn<QString>("after");
    struct Kind
    {
        const char *name;
        QString cluster;
        QString backspaced; // the cluster after Backspace
    };
    const QString letter = u"o"_s + marks(100);
    const QString family = joined(U'\U0001F469', 30);
    const QString tones = u"a"_s + fromScalar(U'\U0001F3FD').repeated(100);
    const QString atLimit = u"a"_s + marks(DisplayText::maximumClusterLength - 1);
    const QList<Kind> kinds{{"marks", letter, letter.left(32)},
                            {"joined emoji", family, family.left(32)},
                            {"astral marks", tones, tones.left(31)},
                            {"uncut, at the limit", atLimit, atLimit.chopped(1)}};
    for (const Kind &kind : kinds) {
        const QString &cluster = kind.cluster;
        const QString before = u"Hola "_s + cluster + u" fin."_s;
        const int start = 5;
        const int end = start + 1;
        const auto row = [&](const char *edit, int steps, int selected, const QKeySequence &keys,
                             const QString &after) {
            QTest::addRow("%s, %s", edit, kind.name)
                << before << steps << selected << keys << after;
        };
        const QString after = cluster + u"fin."_s;
        row("Delete before", start, 0, Qt::Key_Delete, u"Hola  fin."_s);
        row("Delete after", end, 0, Qt::Key_Delete, u"Hola "_s + after);
        row("Delete across", start - 1, 3, Qt::Key_Delete, u"Holafin."_s);
        row("Backspace before", start, 0, Qt::Key_Backspace, u"Hola"_s + cluster + u" fin."_s);
        row("Backspace after", end, 0, Qt::Key_Backspace,
            u"Hola "_s + kind.backspaced + u" fin."_s);
        row("Backspace across", start - 1, 3, Qt::Key_Backspace, u"Holafin."_s);
        row("Ctrl+Delete before", start, 0, Qt::CTRL | Qt::Key_Delete, u"Hola fin."_s);
        row("Ctrl+Delete after", end, 0, Qt::CTRL | Qt::Key_Delete, u"Hola "_s + after);
        row("Ctrl+Delete across", start - 1, 3, Qt::CTRL | Qt::Key_Delete, u"Holafin."_s);
        row("Ctrl+Backspace before", start, 0, Qt::CTRL | Qt::Key_Backspace, cluster + u" fin."_s);
        row("Ctrl+Backspace after", end, 0, Qt::CTRL | Qt::Key_Backspace, u"Hola  fin."_s);
        row("Ctrl+Backspace across", start - 1, 3, Qt::CTRL | Qt::Key_Backspace, u"Holafin."_s);
        row("typing before", start - 1, 1, Qt::Key_X, u"Holax"_s + cluster + u" fin."_s);
        row("typing over", start, 1, Qt::Key_X, u"Hola x fin."_s);
        row("typing after", end, 1, Qt::Key_X, u"Hola "_s + cluster + u"xfin."_s);
        row("typing across", start - 1, 3, Qt::Key_X, u"Holaxfin."_s);
        row("cut before", start - 1, 1, QKeySequence::Cut, u"Hola"_s + cluster + u" fin."_s);
        row("cut", start, 1, QKeySequence::Cut, u"Hola  fin."_s);
        row("cut after", end, 1, QKeySequence::Cut, u"Hola "_s + after);
        row("cut across", start - 1, 3, QKeySequence::Cut, u"Holafin."_s);
        const QString twice = u"Hola "_s + cluster + cluster + u" fin."_s;
        row("paste before", start, 0, QKeySequence::Paste, twice);
        row("paste after", end, 0, QKeySequence::Paste, twice);
        row("paste across", start - 1, 3, QKeySequence::Paste, u"Hola"_s + cluster + u"fin."_s);
    }
}

void TestEditorClusters::editsBesideClustersUndoExactly()
{
    QFETCH(QString, before);
    QFETCH(int, steps);
    QFETCH(int, selected);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, after);
    HighlightingTextEditor editor;
    editor.setText(before);
    QString copy;
    mirrorEdits(editor, copy);
    QGuiApplication::clipboard()->setText(before.sliced(5, before.size() - 10));
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(&editor, Qt::Key_Right);
    for (int i = 0; i < selected; ++i)
        QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keySequence(&editor, keys);
    // The edit, its undo and its redo.
    for (const QString &expected : {after, before, after}) {
        QCOMPARE(editor.text(), expected);
        QCOMPARE(copy, expected);
        undo(editor, expected == after ? Qt::NoModifier : Qt::ShiftModifier);
    }
}

// Offsets at the edges of a cluster's undrawn rest read and replace the stored units there.
void TestEditorClusters::rangesOfCutClusters_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    const int kept = DisplayText::maximumClusterLength;
    QTest::newRow("undrawn rest") << kept << kept + 19;
    QTest::newRow("drawn start") << 0 << kept;
}

void TestEditorClusters::rangesOfCutClusters()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const QString cluster = u"a"_s + marks(DisplayText::maximumClusterLength + 18);
    HighlightingTextEditor editor;
    editor.setText(cluster);
    QCOMPARE(editor.textRange(from, to), cluster.sliced(from, to - from));
    QVERIFY(editor.replaceText(from, to - from, u"X"_s));
    QCOMPARE(editor.text(), QString(cluster).replace(from, to - from, u"X"_s));
}

// Wherever the pointer lands in a cluster, the caret keeps to the nearer cluster boundary, a
// selection takes in the clusters it reaches into, and dropped or middle-click pasted text goes
// where a click puts the caret; a line's end, which the arrow keys reach, stays as it is.
void TestEditorClusters::mouseStaysOnClusterBoundaries_data()
{
    QTest::addColumn<QString>("text");
    // The pointer is three quarters of the way from the caret at `from` to the one at `to`, or
    // past the end of the line of `from`.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("result"); // of typing X after a click; else what is selected
    const QString cluster = u"a"_s + marks(60);
    const QString text = cluster + u" b"_s;
    const int end = int(cluster.size());
    QTest::newRow("click") << text << 0 << end << u"click"_s << cluster + u"X b"_s;
    QTest::newRow("click in the selection")
        << text << 0 << end << u"click in the selection"_s << cluster + u"X b"_s;
    QTest::newRow("shift+click") << text << 0 << end << u"shift+click"_s << cluster;
    QTest::newRow("drag to the end") << text << 0 << end << u"drag"_s << u" b"_s;
    // Qt selects the word from inside the cluster of a space and marks.
    const QString spaced = u" "_s + marks(60) + u"b"_s;
    QTest::newRow("double click") << spaced << 0 << int(spaced.size()) - 1 << u"double click"_s
                                  << spaced;
    QTest::newRow("drop") << text << 0 << end << u"drop"_s << cluster + u"X b"_s;
    // Qt's hit test places a click on the conjunct स्ते between its consonants.
    QTest::newRow("inside a conjunct") << u"नमस्ते"_s << 0 << 6 << u"click"_s << u"नमXस्ते"_s;
    QTest::newRow("middle click") << text << 0 << end << u"middle click"_s << cluster + u"X b"_s;
    // Qt's hit test puts a click on the right of joined emoji into the word before them.
    const QString family = u"Uno "_s + joined(U'\U0001F469', 30);
    QTest::newRow("click on joined emoji")
        << family + u" fin"_s << 4 << int(family.size()) << u"click"_s << family + u"X fin"_s;
    const QString lines = u"Hola. [Pausa]\n\nBrivel queda"_s;
    const QList<std::tuple<const char *, QString, int>> places{
        {"an empty line", lines, 14},
        {"an empty page", QString(), 0},
        {"the last empty line", u"Hola\n"_s, 5},
        {"a line's end", lines, 13},
        {"a right-to-left line's end", u"שלום עולם\nfin"_s, 9}};
    for (const auto &[place, text, at] : places) {
        const QString typed = QString(text).insert(at, u'X');
        for (const auto &[gesture, result] : {std::pair(u"click"_s, typed),
                                              {u"shift+click"_s, text.left(at)},
                                              {u"drag"_s, text.mid(at)},
                                              {u"drop"_s, typed},
                                              {u"middle click"_s, typed}})
            QTest::addRow("%s on %s", qPrintable(gesture), place)
                << text << at << at << gesture << result;
    }
}

void TestEditorClusters::mouseStaysOnClusterBoundaries()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, gesture);
    QFETCH(QString, result);
    QTest::failOnWarning(QRegularExpression(u"out of range"_s));
    HighlightingTextEditor editor;
    editor.resize(400, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(text);
    const QRect start = editor.caretRect(from);
    QPoint point(start.x() + (editor.caretRect(to).x() - start.x()) * 3 / 4, start.center().y());
    if (from == to) {
        const QTextBlock line = editor.document()->findBlock(from);
        point.rx() += line.textDirection() == Qt::RightToLeft ? -40 : 40;
        for (int down = 0; down < line.blockNumber(); ++down)
            QTest::keyClick(&editor, Qt::Key_Down);
        QTest::keyClick(&editor, Qt::Key_End);
        QCOMPARE(editor.editorCaretPosition(), from);
        editor.setCaretPosition(0);
    }
    QWidget *viewport = editor.viewport();
    if (gesture == u"click in the selection")
        editor.selectAll(); // moves the caret on release, not on press
    if (gesture == u"drop") {
        QMimeData dropped;
        dropped.setText(u"X"_s);
        QDragEnterEvent enter(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &drop);
        QCOMPARE(editor.text(), result);
        return;
    }
    if (gesture == u"middle click") {
        QGuiApplication::clipboard()->setText(u"X"_s, QClipboard::Selection);
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, point);
        QCOMPARE(editor.text(), result);
        return;
    }
    if (gesture.startsWith(u"click")) {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        QTest::keyClicks(&editor, u"X"_s);
        QCOMPARE(editor.text(), result);
        return;
    }
    if (gesture == u"shift+click") {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, point);
    } else if (gesture == u"drag") {
        QTest::mousePress(viewport, Qt::LeftButton, {}, point);
        const QPoint to = editor.caretRect(int(text.size())).center();
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::LeftButton,
                         Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    } else {
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
    }
    QGuiApplication::clipboard()->clear();
    editor.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), result);
}

// Word keys stop on the text's cluster boundaries only: Qt's own word stops fall between "#" and
// U+FE0F inside the keycaps "#️⃣" and "*️⃣", where typing would break them.
void TestEditorClusters::wordKeysStayOnClusterBoundaries_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("fromEnd");
    QTest::addColumn<QString>("left"); // by a deletion; else every stop is checked
    const auto row = [](const char *name, QKeySequence::StandardKey keys, bool fromEnd,
                        const QString &left = {}) {
        QTest::newRow(name) << QKeySequence(keys) << fromEnd << left;
    };
    row("Ctrl+Right", QKeySequence::MoveToNextWord, false);
    row("Ctrl+Shift+Right", QKeySequence::SelectNextWord, false);
    row("Ctrl+Left", QKeySequence::MoveToPreviousWord, true);
    row("Ctrl+Shift+Left", QKeySequence::SelectPreviousWord, true);
    row("Ctrl+Backspace", QKeySequence::DeleteStartOfWord, true, u"#️⃣ a *️⃣b\n\nc "_s);
    row("Ctrl+Delete", QKeySequence::DeleteEndOfWord, false, u" a *️⃣b\n\nc #️⃣"_s);
}

void TestEditorClusters::wordKeysStayOnClusterBoundaries()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, fromEnd);
    QFETCH(QString, left);
    const QString text = u"#️⃣ a *️⃣b\n\nc #️⃣"_s;
    HighlightingTextEditor editor;
    editor.setText(text);
    editor.moveCursor(fromEnd ? QTextCursor::End : QTextCursor::Start);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (int presses = 0; presses < (left.isEmpty() ? 20 : 1); ++presses) {
        QTest::keySequence(&editor, keys);
        for (const int end : {editor.textCursor().anchor(), editor.textCursor().position()}) {
            graphemes.setPosition(end);
            QVERIFY(graphemes.isAtBoundary());
        }
    }
    QCOMPARE(editor.text(), left.isEmpty() ? text : left);
    QVERIFY(!left.isEmpty() || editor.textCursor().position() == (fromEnd ? 0 : text.size()));
}

// Backspace never leaves half a cluster to join the next: half a flag would pair with half of the
// next, and every later flag with another, in a piece of a long line or across two.
void TestEditorClusters::backspaceLeavesNoHalfCluster_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("left");
    const QString family = joined(U'\U0001F469', 4);
    const QString line = u"🇪🇸"_s.repeated(600);
    QTest::newRow("between flags") << u"🇪🇸🇫🇷🇩🇪"_s << 8 << u"🇪🇸🇩🇪"_s;
    QTest::newRow("between joined emoji") << family + family << int(family.size()) << family;
    QTest::newRow("at a piece's end")
        << line << 2 * LinePieces::astralPieceLength << line.chopped(4);
}

void TestEditorClusters::backspaceLeavesNoHalfCluster()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, left);
    HighlightingTextEditor editor;
    editor.setText(text);
    editor.setCaretPosition(caret);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(editor.text(), left);
    undo(editor);
    QCOMPARE(editor.text(), text);
}

// Qt takes dragged text out of its line before it drops it: the drop goes where the pointer was.
void TestEditorClusters::textDraggedAlongItsLineGoesWhereDropped()
{
    HighlightingTextEditor editor;
    editor.resize(400, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(u"uno dos tres cuatro"_s);
    select(editor, 0, 4);
    QStringList steps;
    for (const int position : {1, 3, 8, 12}) {
        const QPoint at = editor.viewport()->mapToGlobal(editor.caretRect(position).center());
        steps << u"mousemove"_s << QString::number(at.x()) << QString::number(at.y())
              << (position == 1 ? u"mousedown"_s : u"sleep"_s)
              << (position == 1 ? u"1"_s : u"0.1"_s);
    }
    // A drag that starts in this program holds its event loop until the drop: the hand is
    // another process.
    QProcess hand;
    hand.start(u"xdotool"_s, steps << u"mouseup"_s << u"1"_s);
    QTRY_COMPARE_WITH_TIMEOUT(editor.text(), u"dos tresuno  cuatro"_s, 20'000);
    // It may have finished while the text was waited for: waitForFinished() is then false.
    QVERIFY(hand.state() == QProcess::NotRunning || hand.waitForFinished());
    QCOMPARE(hand.exitCode(), 0);
}

// The middle button pastes X11's primary selection; a drag is a real one.
BRIVEL_XVFB_TEST_MAIN(TestEditorClusters, false)
#include "tst_editorclusters.moc"
