// The editor's styling of cue markers, separator lines and bullets on arbitrary lines, and where
// it breaks a long line into pieces.
#include "editor/cuehighlighter.h"
#include "editor/linepieces.h"
#include "fuzzing.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    for (const QStringView line : QStringView(text).split(u'\n')) {
        int previous = 0;
        for (const int at : LinePieces::breaksIn(line)) {
            if (at <= previous || at >= line.size())
                abort();
            previous = at;
        }
    }
    QTextDocument document;
    CueHighlighter highlighter(&document);
    document.setPlainText(text);
    // Synchronously: a new highlighter leaves its first pass to the event loop.
    highlighter.rehighlight();
    return 0;
}
