#include "benchkeys.h"
#include "benchtext.h"

#include "editor/highlightingtexteditor.h"
#include "platform/fonts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <ctime>

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

// A page at the length limit that is one paragraph, with the family its script needs (none where
// the desktop's default does) and the length of its characters, so that the caret can be put
// between two of them.
struct Paragraph
{
    QString text;
    QString family;
    int characterLength = 1;
};

// `count` picks from the vocabulary, without a space.
QString unspaced(const QStringList &vocabulary, int count)
{
    BenchText::Lcg random;
    QString text;
    for (int i = 0; i < count; ++i)
        text += vocabulary[random.next(std::uint32_t(vocabulary.size()))];
    return text;
}

// Each of the characters of the string, as a word.
QStringList characters(QStringView string)
{
    QStringList list;
    for (const QChar c : string)
        list.append(QString(c));
    return list;
}

// Prose with its line breaks made spaces; letters without a space; letters that each carry nine
// combining marks (ten UTF-16 units per character, no space); then scripts written without
// spaces, of three units a character but Japanese: Thai words that are one character each (a
// consonant, a vowel above or below and a tone mark, or SARA AM), Japanese kana and kanji, and
// Hindi syllables (a consonant, a vowel sign and a nasal sign).
Paragraph longParagraph(int kind)
{
    switch (kind) {
    case 0:
        return {BenchText::latinPage(longPageSize).replace(u'\n', u' '), {}, 1};
    case 1:
        return {QString(longPageSize, u'a'), {}, 1};
    case 2: {
        QString cluster(u"a"_s);
        for (char16_t mark = 0x0300; mark < 0x0309; ++mark)
            cluster += QChar(mark);
        return {cluster.repeated(longPageSize), {}, int(cluster.size())};
    }
    case 3:
        return {unspaced({u"ที่"_s, u"นี้"_s, u"พี่"_s, u"ผู้"_s, u"กี่"_s, u"น้ำ"_s, u"ปู่"_s, u"ชี้"_s},
                         longPageSize),
                u"Noto Sans Thai"_s, 3};
    case 4:
        return {unspaced(
                    characters(u"あいうえおかきくけこさしすせそたちつてとなにのはひまみむめもやゆよ"
                               u"らりるれろわをん日本語今天気私市場行読楽明朝皆見話言葉文字書"),
                    longPageSize),
                u"Noto Sans CJK JP"_s, 1};
    default: {
        QStringList syllables;
        for (const QChar consonant : u"कखगघचछजझटडतथदधनपफबभमयरलवशसह"_s) {
            for (const QChar vowel : u"ािीुूेैोौ"_s)
                syllables << QString(consonant) + vowel + u'\u0902';
        }
        return {unspaced(syllables, longPageSize), u"Noto Sans Devanagari"_s, 3};
    }
    }
}

bool hasFont(benchmark::State &state, const QString &family)
{
    if (family.isEmpty() || QFontDatabase::hasFamily(family))
        return true;
    state.SkipWithError(QString(u"font missing: "_s + family).toUtf8().constData());
    return false;
}

void showParagraph(HighlightingTextEditor &editor, const QString &text)
{
    editor.setFont(Fonts::systemFont(16, QFont::Normal));
    editor.resize(320, 140);
    editor.setText(text);
    editor.show();
    QCoreApplication::processEvents();
}

// The main thread's time: the machine is shared, so other processes' work is not counted.
double threadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The longest of the steps timed: one keystroke with its frame, one show of the editor.
class Longest
{
public:
    template <typename Step>
    void time(Step step)
    {
        const double start = threadMs();
        step();
        m_ms = std::max(m_ms, threadMs() - start);
    }
    double ms() const { return m_ms; }

private:
    double m_ms = 0;
};

// Counts the frames a widget paints.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }

private:
    int m_count = 0;
};

// A key pressed in the editor, what the press left posted handled and the next frame painted.
void pressAndPaint(HighlightingTextEditor &editor, Qt::Key key, const QString &text = {})
{
    press(editor, key, text);
    QCoreApplication::sendPostedEvents();
    editor.viewport()->repaint();
}

// Opening such a page: the text set and the first frame painted.
void BM_OpenParagraph(benchmark::State &state)
{
    const Paragraph paragraph = longParagraph(int(state.range(0)));
    if (!hasFont(state, paragraph.family))
        return;
    Longest open;
    for (auto _ : state) {
        HighlightingTextEditor editor;
        open.time([&] {
            showParagraph(editor, paragraph.text);
            editor.viewport()->repaint();
        });
        state.PauseTiming();
        if (editor.document()->characterCount() < paragraph.text.size())
            state.SkipWithError("the text did not arrive");
        state.ResumeTiming();
    }
    state.counters["open_ms"] = open.ms();
}

// A character typed at the start, in the middle and at the end of such a page and deleted again
// (two keystrokes at each place): work that walks the line from the caret shows at one end.
void BM_TypeInParagraph(benchmark::State &state)
{
    const Paragraph paragraph = longParagraph(int(state.range(0)));
    if (!hasFont(state, paragraph.family))
        return;
    HighlightingTextEditor editor;
    showParagraph(editor, paragraph.text);
    const int size = int(paragraph.text.size());
    const int middle = size / 2 - size / 2 % paragraph.characterLength;
    int edits = 0;
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, [&edits] { ++edits; });
    const std::array places{0, middle, size};
    std::array<Longest, places.size()> keys;
    for (auto _ : state) {
        for (std::size_t k = 0; k < places.size(); ++k) {
            // Untimed: the caret and the lines around it on screen.
            editor.setCaretPosition(places[k]);
            QCoreApplication::sendPostedEvents();
            editor.viewport()->repaint();
            keys[k].time([&] { pressAndPaint(editor, Qt::Key_A, u"a"_s); });
            keys[k].time([&] { pressAndPaint(editor, Qt::Key_Backspace); });
        }
    }
    if (edits != 2 * int(places.size() * state.iterations()))
        state.SkipWithError("the keystrokes were not edits");
    state.counters["start_ms"] = keys[0].ms();
    state.counters["middle_ms"] = keys[1].ms();
    state.counters["end_ms"] = keys[2].ms();
}

// A page whose middle line holds only emoji in the colour font, without a space: flags (two
// regional indicators each) or families (four people joined by zero-width joiners). Typing in the
// middle of that line and showing the editor again must not decode its glyphs anew.
void BM_EmojiLine(benchmark::State &state)
{
    if (!hasFont(state, u"Noto Color Emoji"_s))
        return;
    const QString emoji = state.range(0) == 0 ? u"🇪🇸"_s : u"👨\u200D👩\u200D👧\u200D👦"_s;
    const int count = int(state.range(1));
    const QString before = u"Hola. Bienvenido a Brivel. [Pausa]\n"_s;
    HighlightingTextEditor editor;
    showParagraph(editor, before + emoji.repeated(count) + u"\nBrivel queda listo."_s);
    // The size the editor has in the main window.
    editor.resize(640, 480);
    editor.setCaretPosition(int(before.size() + emoji.size() * (count / 2)));
    editor.ensureCursorVisible();
    QCoreApplication::processEvents();
    int edits = 0;
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, [&edits] { ++edits; });
    const PaintCounter painted(editor.viewport());
    int shows = 0;
    Longest key;
    Longest shown;
    for (auto _ : state) {
        key.time([&] { pressAndPaint(editor, Qt::Key_A, u"a"_s); });
        key.time([&] { pressAndPaint(editor, Qt::Key_Backspace); });
        editor.hide();
        QCoreApplication::processEvents();
        const int paintsBefore = painted.count();
        shown.time([&] {
            editor.show();
            QCoreApplication::processEvents();
        });
        shows += painted.count() > paintsBefore ? 1 : 0;
    }
    if (edits != 2 * int(state.iterations()))
        state.SkipWithError("the keystrokes were not edits");
    else if (shows != int(state.iterations()))
        state.SkipWithError("showing the editor painted nothing");
    state.counters["key_ms"] = key.ms();
    state.counters["show_ms"] = shown.ms();
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
// Arg: 0 prose, 1 letters, 2 letters with nine combining marks, 3 Thai, 4 Japanese, 5 Hindi.
BENCHMARK(BM_OpenParagraph)->DenseRange(0, 5)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInParagraph)->DenseRange(0, 5)->Iterations(10)->Unit(benchmark::kMillisecond);
// Args: 0 flags or 1 families, and how many.
BENCHMARK(BM_EmojiLine)
    ->Args({0, 2'000})
    ->Args({1, 1'000})
    ->Args({0, 10'000})
    ->Args({1, 10'000})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeTextCopy)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
