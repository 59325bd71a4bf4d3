#include "displaytext.h"

#include "settings/characterends.h"

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
qsizetype keptLength(QStringView text, qsizetype start, qsizetype kept = maximumClusterLength)
{
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
    // Counted as the reading area counts them: Qt's finder would run libthai's word dictionary
    // over the whole text, in more than linear time, and on a long line of Thai that is seconds.
    qsizetype start = 0;
    visitCharacterEnds(text, [&](qsizetype end) {
        if (end - start > maximumClusterLength) {
            const qsizetype kept = keptLength(text, start);
            runs.append({start + kept, end - start - kept});
        }
        start = end;
    });
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

QStringView cut(QStringView text, int characters, qsizetype units)
{
    // Each character takes one unit at least.
    if (text.size() <= std::min<qsizetype>(characters, units))
        return text;
    for (qsizetype window = std::min<qsizetype>(text.size(), 256);;
         window = std::min(text.size(), 2 * window)) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), window);
        qsizetype end = 0;
        int count = 0;
        bool decided = window == text.size();
        while (count < characters) {
            const qsizetype next = graphemes.toNextBoundary();
            if (next < 0)
                break;
            if (next > units) {
                decided = true;
                // A first character of endless marks is cut like any other long cluster.
                if (end == 0)
                    end = keptLength(text, 0, units);
                break;
            }
            // A boundary at the window's end may be an artefact of the cut; one inside it is
            // real.
            if (next == window && !decided)
                break;
            end = next;
            ++count;
        }
        if (decided || count == characters)
            return text.first(end);
    }
}

QString title(QStringView title)
{
    qsizetype start = 0;
    while (start < title.size() && title[start].isSpace())
        ++start;
    const QStringView kept
        = cut(title.sliced(start), std::numeric_limits<int>::max(), maximumTitleLength);
    return shown(kept.toString()).trimmed();
}

QString boundedTitle(const QString &title)
{
    return title.size() <= maximumTitleLength ? shown(title) : DisplayText::title(title);
}

QString editableTitle(const QString &title)
{
    return title.size() <= maximumTitleLength ? title : DisplayText::title(title);
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

} // namespace DisplayText
