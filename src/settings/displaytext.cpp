#include "displaytext.h"

#include <QTextBoundaryFinder>

namespace DisplayText {

namespace {

// Below U+0300 only U+00A9 and U+00AE (the copyright and registered signs) take part in a cluster
// other than as its one base character. A cluster longer than the limit therefore holds a run of at
// least half the limit of other units: where there is none, no cluster is too long, and the text is
// passed over without analysing its clusters.
bool mayHoldLongCluster(QStringView text)
{
    int run = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        run = unit >= 0x0300 || unit == 0xa9 || unit == 0xae ? run + 1 : 0;
        if (run >= maximumClusterLength / 2)
            return true;
    }
    return false;
}

// How much of a long cluster starting at `start` is shown.
qsizetype keptLength(QStringView text, qsizetype start)
{
    qsizetype kept = maximumClusterLength;
    if (text[start + kept - 1].isHighSurrogate())
        --kept;
    return kept;
}

} // namespace

QList<HiddenRun> hiddenRuns(QStringView text)
{
    QList<HiddenRun> runs;
    if (text.size() <= maximumClusterLength || !mayHoldLongCluster(text))
        return runs;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end != -1; end = graphemes.toNextBoundary()) {
        if (end - start > maximumClusterLength) {
            const qsizetype kept = keptLength(text, start);
            runs.append({start + kept, end - start - kept});
        }
        start = end;
    }
    return runs;
}

QString shown(const QString &text)
{
    const QList<HiddenRun> runs = hiddenRuns(text);
    if (runs.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (const HiddenRun &run : runs) {
        result += QStringView(text).sliced(from, run.position - from);
        from = run.position + run.length;
    }
    result += QStringView(text).sliced(from);
    return result;
}

QString title(QStringView title)
{
    qsizetype start = 0;
    while (start < title.size() && title[start].isSpace())
        ++start;
    const QStringView rest = title.sliced(start);
    if (rest.size() <= maximumTitleLength)
        return shown(rest.toString()).trimmed();
    // One unit past the limit tells whether the limit itself is a boundary.
    const QStringView window = rest.first(maximumTitleLength + 1);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, window.data(), window.size());
    graphemes.setPosition(maximumTitleLength);
    qsizetype end = graphemes.isAtBoundary() ? maximumTitleLength : graphemes.toPreviousBoundary();
    // A first cluster longer than the whole window is cut like any other long cluster.
    if (end <= 0)
        end = keptLength(window, 0);
    return shown(window.first(end).toString()).trimmed();
}

QString boundedTitle(const QString &title)
{
    return title.size() <= maximumTitleLength ? shown(title) : DisplayText::title(title);
}

} // namespace DisplayText
