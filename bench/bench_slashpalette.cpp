#include "benchkeys.h"
#include "benchtext.h"

#include "editor/highlightingtexteditor.h"
#include "editor/slashcommandpalette.h"
#include "platform/fonts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

constexpr int longPageSize = 500'000;
constexpr int paragraphSize = 400;

using BenchKeys::press;

// An editor on screen holding a page of the given size (the short one a single paragraph), the
// caret after a space in the middle of the page.
std::unique_ptr<HighlightingTextEditor> editorWithPage(int size)
{
    QString text = BenchText::latinPage(size);
    if (size == paragraphSize)
        text.replace(u'\n', u' ');
    auto editor = std::make_unique<HighlightingTextEditor>();
    editor->setFont(Fonts::systemFont(16, QFont::Normal));
    editor->resize(600, 400);
    editor->setText(text);
    editor->show();
    editor->setCaretPosition(int(text.indexOf(u' ', text.size() / 2)) + 1);
    QCoreApplication::processEvents();
    return editor;
}

// "/" typed, the palette shown and painted; one query letter, the list refreshed and painted;
// then both deleted again, which closes it. Every keystroke of the loop goes through the editor as
// typing does. The lists are checked against what the commands give in the interface language
// of the machine, whichever it is.
void BM_SlashPaletteKeys(benchmark::State &state)
{
    const auto editor = editorWithPage(int(state.range(0)));
    SlashCommandPalette &palette = *editor->slashPalette();
    const qsizetype everyCommand = allSlashCommands().size();
    const qsizetype matchingP = filteredSlashCommands(u"p"_s).size();
    if (matchingP == 0 || matchingP == everyCommand) {
        state.SkipWithError("\"p\" filters nothing in this language");
        return;
    }
    qint64 opened = 0;
    qint64 filtered = 0;
    for (auto _ : state) {
        press(*editor, Qt::Key_Slash, u"/"_s);
        if (palette.isOpen())
            palette.panel()->repaint();
        opened += palette.isOpen() && palette.filteredCommands().size() == everyCommand;
        press(*editor, Qt::Key_P, u"p"_s);
        if (palette.isOpen())
            palette.panel()->repaint();
        filtered += palette.isOpen() && palette.filteredCommands().size() == matchingP;
        press(*editor, Qt::Key_Backspace);
        press(*editor, Qt::Key_Backspace);
    }
    if (opened != state.iterations() || filtered != state.iterations() || palette.isOpen())
        state.SkipWithError("the palette did not open, filter and close on every iteration");
    state.counters["listed_after_p"] = double(matchingP);
}

// From the "/" keystroke to the palette on screen, painted and flushed: what one frame must
// hold. Run under an X server (QT_QPA_PLATFORM=xcb) to include the window system.
void BM_SlashToPalettePainted(benchmark::State &state)
{
    const auto editor = editorWithPage(paragraphSize);
    SlashCommandPalette &palette = *editor->slashPalette();
    qint64 painted = 0;
    for (auto _ : state) {
        press(*editor, Qt::Key_Slash, u"/"_s);
        if (palette.isOpen()) {
            palette.panel()->repaint();
            QCoreApplication::processEvents();
            ++painted;
        }
        state.PauseTiming();
        press(*editor, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (painted != state.iterations())
        state.SkipWithError("the palette did not open on every keystroke");
}

} // namespace

BENCHMARK(BM_SlashPaletteKeys)
    ->Arg(paragraphSize)
    ->Arg(longPageSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlashToPalettePainted)->Unit(benchmark::kMicrosecond);
