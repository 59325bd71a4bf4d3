#include "common/clusters.h"
#include "common/xvfb.h"
#include "editor/highlightingtexteditor.h"
#include "editortesting.h"
#include "settings/displaytext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;
using namespace EditorTesting;
using namespace TestSupport;

namespace {

// No cluster of the document is longer than a cut one and its placeholder.
bool showsClustersCut(const HighlightingTextEditor &editor)
{
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, block.text());
        for (qsizetype start = 0, end = graphemes.toNextBoundary(); end != -1;
             start = end, end = graphemes.toNextBoundary()) {
            if (end - start > DisplayText::maximumClusterLength + 1)
                return false;
        }
    }
    return true;
}

// Drops `text` at `point` of the editor's viewport, as a drag from another program would.
void dropText(HighlightingTextEditor &editor, QPoint point, const QString &text)
{
    QMimeData dropped;
    dropped.setText(text);
    QDragEnterEvent enter(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(editor.viewport(), &enter);
    QDropEvent drop(point, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QCoreApplication::sendEvent(editor.viewport(), &drop);
}

} // namespace

// Grapheme clusters too long to lay out, shown cut.
class TestEditorClusters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void giantClustersShowCut();
    void clustersGrownByEditsShowCut_data();
    void clustersGrownByEditsShowCut();
    void editsBesideClustersUndoExactly_data();
    void editsBesideClustersUndoExactly();
    void rangesOfCutClusters_data();
    void rangesOfCutClusters();
    void mouseStaysOnClusterBoundaries_data();
    void mouseStaysOnClusterBoundaries();
    void wordKeysStayOnClusterBoundaries_data();
    void wordKeysStayOnClusterBoundaries();
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
    QVERIFY(showsClustersCut(editor));
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        const QString piece = block.text();
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

// A cluster that edits make longer than a loaded one is ever shown is cut as a loaded one is,
// whether marks are pasted onto it 31 at a time, typed or dropped. The text keeps it whole through
// the edits, each undo step and each redo.
void TestEditorClusters::clustersGrownByEditsShowCut_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("marks");
    QTest::addColumn<int>("times");
    QTest::newRow("paste") << u"paste"_s << 31 << 100;
    // The last mark makes the cluster too long.
    QTest::newRow("typing") << u"typing"_s << 32 << 1;
    QTest::newRow("drop") << u"drop"_s << 31 << 3;
}

void TestEditorClusters::clustersGrownByEditsShowCut()
{
    QFETCH(QString, gesture);
    QFETCH(int, marks);
    QFETCH(int, times);
    const QString original = u"Hola o fin."_s;
    HighlightingTextEditor editor;
    editor.resize(400, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(original);
    QString copy;
    mirrorEdits(editor, copy);
    const QString added = TestSupport::marks(marks);
    QString expected = original;
    for (int i = 0; i < times; ++i) {
        const int caret = 6 + i * int(added.size());
        editor.setCaretPosition(caret);
        if (gesture == u"paste") {
            QGuiApplication::clipboard()->setText(added);
            editor.paste();
        } else if (gesture == u"typing") {
            for (const QChar mark : added)
                QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, mark, {});
        } else {
            dropText(editor, editor.caretRect(caret).center(), added);
        }
        expected.insert(caret, added);
        QCOMPARE(editor.text(), expected);
        QCOMPARE(copy, expected);
        QVERIFY(showsClustersCut(editor));
    }
    while (editor.document()->isUndoAvailable()) {
        const QString before = copy;
        undo(editor);
        QVERIFY(copy != before); // no step of its own for a cut
        QCOMPARE(editor.text(), copy);
        QVERIFY(showsClustersCut(editor));
    }
    QCOMPARE(copy, original);
    while (editor.document()->isRedoAvailable())
        undo(editor, Qt::ShiftModifier);
    QCOMPARE(editor.text(), expected);
    QCOMPARE(copy, expected);
    QVERIFY(showsClustersCut(editor));
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

// Wherever the pointer lands in a cluster, the caret keeps to the text's cluster boundaries (the
// nearer one), a selection takes in the clusters it reaches into, and dropped or middle-click
// pasted text goes where a click puts the caret. Where there is no cluster to snap to, every
// gesture keeps the place that the arrow keys reach.
void TestEditorClusters::mouseStaysOnClusterBoundaries_data()
{
    QTest::addColumn<QString>("text");
    // The pointer is three quarters of the way from the caret at `from` to the caret at `to`,
    // then `nudge` pixels to the right.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("nudge");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("result");    // of typing X after a click; else what is selected
    QTest::addColumn<QList<int>>("arrows"); // keys from the start to `from`, where given
    const QString cluster = u"a"_s + marks(60);
    const QString text = cluster + u" b"_s;
    const int end = int(cluster.size());
    const auto row = [](const char *name, const QString &text, int from, int to,
                        const QString &gesture, const QString &result) {
        QTest::newRow(name) << text << from << to << 0 << gesture << result << QList<int>{-1};
    };
    row("click", text, 0, end, u"click"_s, cluster + u"X b"_s);
    row("click in the selection", text, 0, end, u"click in the selection"_s, cluster + u"X b"_s);
    row("shift+click", text, 0, end, u"shift+click"_s, cluster);
    row("drag to the end", text, 0, end, u"drag"_s, u" b"_s);
    // Qt selects the word from inside the cluster of a space and marks.
    const QString spaced = u" "_s + marks(60) + u"b"_s;
    row("double click", spaced, 0, int(spaced.size()) - 1, u"double click"_s, spaced);
    row("drop", text, 0, end, u"drop"_s, cluster + u"X b"_s);
    // Qt's hit test places a click on the conjunct स्ते between its consonants.
    row("inside a conjunct", u"नमस्ते"_s, 0, 6, u"click"_s, u"नमXस्ते"_s);
    // Qt's hit test puts a click on the right of joined emoji into the word before them.
    const QString family = u"Uno "_s + joined(U'\U0001F469', 30);
    const int familyEnd = int(family.size());
    row("click on joined emoji", family + u" fin"_s, 4, familyEnd, u"click"_s, family + u"X fin"_s);
    const QString letter = u"o"_s + marks(100);
    row("middle click", letter + u" fin."_s, 0, int(letter.size()), u"middle click"_s,
        letter + u"X fin."_s);
    row("middle click on joined emoji", family + u" fin"_s, 4, familyEnd, u"middle click"_s,
        family + u"X fin"_s);

    struct Place
    {
        const char *name;
        QString text;
        int at;
        int nudge;
        QList<int> arrows;
    };
    const QString lines = u"Hola. [Pausa]\n\nBrivel queda"_s;
    const QList<Place> places{
        {"an empty line", lines, 14, 40, {Qt::Key_Down}},
        {"an empty page", QString(), 0, 40, {}},
        {"the last empty line", u"Hola\n"_s, 5, 40, {Qt::Key_Down}},
        {"a line's end", lines, 13, 40, {Qt::Key_End}},
        {"a right-to-left line's end", u"שלום עולם\nfin"_s, 9, -40, {Qt::Key_End}},
    };
    for (const Place &place : places) {
        const QString typed = QString(place.text).insert(place.at, u'X');
        const auto placeRow = [&](const char *gesture, const QString &result) {
            QTest::addRow("%s on %s", gesture, place.name)
                << place.text << place.at << place.at << place.nudge << QString::fromUtf8(gesture)
                << result << place.arrows;
        };
        placeRow("click", typed);
        placeRow("shift+click", place.text.left(place.at));
        placeRow("drag", place.text.mid(place.at));
        placeRow("drop", typed);
        placeRow("middle click", typed);
    }
}

void TestEditorClusters::mouseStaysOnClusterBoundaries()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, nudge);
    QFETCH(QString, gesture);
    QFETCH(QString, result);
    QFETCH(QList<int>, arrows);
    QTest::failOnWarning(QRegularExpression(u"out of range"_s));
    HighlightingTextEditor editor;
    editor.resize(400, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setText(text);
    if (arrows != QList<int>{-1}) {
        for (const int key : arrows)
            QTest::keyClick(&editor, Qt::Key(key));
        QCOMPARE(editor.editorCaretPosition(), from);
        editor.setCaretPosition(0);
    }
    const QRect start = editor.caretRect(from);
    const QPoint point(start.x() + (editor.caretRect(to).x() - start.x()) * 3 / 4 + nudge,
                       start.center().y());
    QWidget *viewport = editor.viewport();
    if (gesture == u"click in the selection")
        editor.selectAll(); // moves the caret on release, not on press
    if (gesture == u"drop") {
        dropText(editor, point, u"X"_s);
        QCOMPARE(editor.text(), result);
        return;
    }
    if (gesture == u"middle click") {
        QGuiApplication::clipboard()->setText(u"X"_s, QClipboard::Selection);
        QTest::ignoreMessage(QtWarningMsg,
                             "Mouse event \"MousePress\" not accepted by receiving widget");
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
    QTest::addColumn<QString>("left"); // by a deletion from the end or the start
    const QString text = u"#️⃣ a *️⃣b\n\nc #️⃣"_s;
    QTest::newRow("Ctrl+Right") << QKeySequence(QKeySequence::MoveToNextWord) << text;
    QTest::newRow("Ctrl+Shift+Right") << QKeySequence(QKeySequence::SelectNextWord) << text;
    QTest::newRow("Ctrl+Left") << QKeySequence(QKeySequence::MoveToPreviousWord) << text;
    QTest::newRow("Ctrl+Shift+Left") << QKeySequence(QKeySequence::SelectPreviousWord) << text;
    QTest::newRow("Ctrl+Backspace")
        << QKeySequence(QKeySequence::DeleteStartOfWord) << text.chopped(3);
    QTest::newRow("Ctrl+Delete") << QKeySequence(QKeySequence::DeleteEndOfWord) << text.mid(3);
}

void TestEditorClusters::wordKeysStayOnClusterBoundaries()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, left);
    const QString text = u"#️⃣ a *️⃣b\n\nc #️⃣"_s;
    HighlightingTextEditor editor;
    editor.setText(text);
    const bool backwards = keys == QKeySequence::MoveToPreviousWord
                           || keys == QKeySequence::SelectPreviousWord
                           || keys == QKeySequence::DeleteStartOfWord;
    if (backwards)
        editor.moveCursor(QTextCursor::End);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    const auto onBoundary = [&](int position) {
        graphemes.setPosition(position);
        return graphemes.isAtBoundary();
    };
    if (left != text) {
        QTest::keySequence(&editor, keys);
        QCOMPARE(editor.text(), left);
        return;
    }
    for (int presses = 0; presses < 20; ++presses) {
        QTest::keySequence(&editor, keys);
        QVERIFY(onBoundary(editor.textCursor().anchor()));
        QVERIFY(onBoundary(editor.textCursor().position()));
    }
    QCOMPARE(editor.textCursor().position(), backwards ? 0 : int(text.size()));
}

// The middle button pastes X11's primary selection.
BRIVEL_XVFB_TEST_MAIN(TestEditorClusters, false)
#include "tst_editorclusters.moc"
