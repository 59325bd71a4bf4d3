#include "benchkeys.h"
#include "benchtext.h"

#include "editor/highlightingtexteditor.h"
#include "platform/fonts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextDocument>

namespace {

using namespace Qt::StringLiterals;

constexpr int longPageSize = 500'000;
// One paragraph: what a short page holds.
constexpr int paragraphSize = 400;

using BenchKeys::press;

// A page of the given size with cue markers sprinkled in and a bullet line in the middle; the
// caret at the end of the bullet line, on screen. The short page is one paragraph.
class Page
{
public:
    explicit Page(int size)
    {
        QString text = BenchText::latinPage(size);
        if (size == paragraphSize)
            text.replace(u'\n', u' ');
        for (int i = 200; i < text.size(); i += 3'000)
            text.insert(text.indexOf(u' ', i), u" [Pausa]"_s);
        int lineEnd = int(text.indexOf(u'\n', text.size() / 2));
        if (lineEnd < 0)
            lineEnd = int(text.size());
        const QString bulletLine = u"\n\u2022 punto clave"_s;
        text.insert(lineEnd, bulletLine);
        m_plainLineMiddle = lineEnd - 5;
        m_bulletLineEnd = lineEnd + int(bulletLine.size());

        m_editor.setFont(Fonts::systemFont(16, QFont::Normal));
        // Small enough for the paragraph to fill it too: both pages paint the same lines.
        m_editor.resize(320, 140);
        m_editor.setText(text);
        m_editor.show();
        m_editor.setCaretPosition(m_bulletLineEnd);
        QCoreApplication::processEvents();
        m_length = m_editor.document()->characterCount();
        QObject::connect(&m_editor, &HighlightingTextEditor::textEdited, &m_editor,
                         [this](int, int, const QString &inserted) {
                             ++m_edits;
                             m_lastInserted = inserted;
                         });
    }

    HighlightingTextEditor &editor() { return m_editor; }
    // Inside the words of the plain line above the bullet line.
    int plainLineMiddle() const { return m_plainLineMiddle; }
    // Paints what is on screen, as the next frame would.
    void paint() { m_editor.viewport()->repaint(); }

    // Keystrokes that edit nothing and a hidden editor measure nothing: each of the loop's
    // keystrokes must have changed the text, and each iteration left the page as it found it.
    void checkEdits(benchmark::State &state, int keystrokesPerIteration)
    {
        if (!m_editor.isVisible())
            state.SkipWithError("the editor was not shown, so nothing was painted");
        else if (m_edits < keystrokesPerIteration * state.iterations())
            state.SkipWithError("a keystroke edited nothing");
        else if (m_editor.document()->characterCount() != m_length)
            state.SkipWithError("the page did not come back to its length");
    }
    void forgetEdits() { m_edits = 0; }
    const QString &lastInserted() const { return m_lastInserted; }

private:
    HighlightingTextEditor m_editor;
    int m_length = 0;
    int m_edits = 0;
    QString m_lastInserted;
    int m_plainLineMiddle = 0;
    int m_bulletLineEnd = 0;
};

// One character typed at the end of the bullet line and deleted again: two keystrokes, each
// restyled and painted. The page keeps its size.
void BM_TypeCharacter(benchmark::State &state)
{
    Page page(int(state.range(0)));
    for (auto _ : state) {
        press(page.editor(), Qt::Key_A, u"a"_s);
        page.paint();
        press(page.editor(), Qt::Key_Backspace);
        page.paint();
    }
    page.checkEdits(state, 2);
}

// Return in the middle of a plain line, then Backspace joining the line again.
void BM_PressReturn(benchmark::State &state)
{
    Page page(int(state.range(0)));
    page.editor().setCaretPosition(page.plainLineMiddle());
    for (auto _ : state) {
        press(page.editor(), Qt::Key_Return);
        page.paint();
        press(page.editor(), Qt::Key_Backspace);
        page.paint();
    }
    page.checkEdits(state, 2);
}

// Return at the end of the bullet line continues the list (the editor's own edit); Backspace
// removes the new bullet (another), and a second Backspace joins the lines.
void BM_ContinueBullet(benchmark::State &state)
{
    Page page(int(state.range(0)));
    // Once untimed: the caret must be where Return continues the list.
    press(page.editor(), Qt::Key_Return);
    if (!page.lastInserted().contains(u'\u2022')) {
        state.SkipWithError("Return did not continue the bullet list");
        return;
    }
    press(page.editor(), Qt::Key_Backspace);
    press(page.editor(), Qt::Key_Backspace);
    page.forgetEdits();
    for (auto _ : state) {
        press(page.editor(), Qt::Key_Return);
        page.paint();
        press(page.editor(), Qt::Key_Backspace);
        page.paint();
        press(page.editor(), Qt::Key_Backspace);
        page.paint();
    }
    page.checkEdits(state, 3);
}

// A page at the length limit that is one paragraph: prose with its line breaks made spaces,
// letters without a space, or letters that each carry nine combining marks (ten UTF-16 units per
// character, no space).
QString longParagraph(int kind)
{
    if (kind == 0)
        return BenchText::latinPage(longPageSize).replace(u'\n', u' ');
    if (kind == 1)
        return QString(longPageSize, u'a');
    QString cluster(u"a"_s);
    for (char16_t mark = 0x0300; mark < 0x0309; ++mark)
        cluster += QChar(mark);
    return cluster.repeated(longPageSize);
}

void showParagraph(HighlightingTextEditor &editor, const QString &text)
{
    editor.setFont(Fonts::systemFont(16, QFont::Normal));
    editor.resize(320, 140);
    editor.setText(text);
    editor.show();
    QCoreApplication::processEvents();
}

// Opening such a page: the text set and the first frame painted.
void BM_OpenParagraph(benchmark::State &state)
{
    const QString text = longParagraph(int(state.range(0)));
    for (auto _ : state) {
        HighlightingTextEditor editor;
        showParagraph(editor, text);
        editor.viewport()->repaint();
        state.PauseTiming();
        if (editor.document()->characterCount() < text.size())
            state.SkipWithError("the text did not arrive");
        state.ResumeTiming();
    }
}

// A character typed in the middle of such a page and deleted again (two keystrokes).
void BM_TypeInParagraph(benchmark::State &state)
{
    const QString text = longParagraph(int(state.range(0)));
    HighlightingTextEditor editor;
    showParagraph(editor, text);
    editor.setCaretPosition(int(text.size()) / 2 - int(text.size()) / 2 % 10);
    QCoreApplication::processEvents();
    int edits = 0;
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, [&edits] { ++edits; });
    for (auto _ : state) {
        press(editor, Qt::Key_A, u"a"_s);
        editor.viewport()->repaint();
        press(editor, Qt::Key_Backspace);
        editor.viewport()->repaint();
    }
    if (edits != 2 * int(state.iterations()))
        state.SkipWithError("the keystrokes were not edits");
}

// What a caller would pay per keystroke if it asked for the whole text instead of following
// the editor's change reports.
void BM_WholeTextCopy(benchmark::State &state)
{
    Page page(int(state.range(0)));
    qsizetype copied = 0;
    for (auto _ : state) {
        const QString text = page.editor().text();
        copied = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    if (copied < state.range(0))
        state.SkipWithError("the copy did not hold the page");
}

} // namespace

BENCHMARK(BM_TypeCharacter)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PressReturn)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ContinueBullet)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
// Arg: 0 prose, 1 letters, 2 letters with nine combining marks.
BENCHMARK(BM_OpenParagraph)->Arg(0)->Arg(1)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInParagraph)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeTextCopy)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
