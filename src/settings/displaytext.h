#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <limits>

// What the views hand the text engine. Shaping one grapheme cluster costs far more than linear
// time in its length, so a cluster of thousands of combining marks (or of emoji joined by
// zero-width joiners) would freeze any view that lays it out. The stored text is never changed:
// the views show its display form, in which each cluster longer than maximumClusterLength
// UTF-16 units keeps only its start; the rest of it is not drawn. Everything here runs in time
// linear in the text it looks at.
namespace DisplayText {

// A few dozen combining marks; a surrogate pair is never split, so a kept start may be one
// unit shorter.
inline constexpr int maximumClusterLength = 32;
// More of a title than any view can show on one line.
inline constexpr int maximumTitleLength = 300;

// Units of the text that the display form leaves out: the tail of one long cluster.
struct HiddenRun
{
    qsizetype position = 0;
    qsizetype length = 0;
};

// The runs the display form leaves out, ascending and apart from each other.
QList<HiddenRun> hiddenRuns(QStringView text);
// The text without its hidden runs; the text itself when it has none.
QString shown(const QString &text);
// The longest start of the text that holds at most `characters` characters and `units` UTF-16
// units and ends between characters: what a view showing only the start of a text shows before
// its "…". A first character longer than `units` keeps its first units, a surrogate pair whole.
// Only as much of the text is read as the cut needs.
QStringView cut(QStringView text, int characters,
                qsizetype units = std::numeric_limits<qsizetype>::max());
// A title as the views show it: at most maximumTitleLength units of its display form, cut on a
// cluster boundary, without the white space around it. Only the start of a long title is read.
QString title(QStringView title);
// A title as the reading panel gets it: its display form when it is short, else as title()
// shows it.
QString boundedTitle(const QString &title);
// What a one-line edit field starts with: the title as stored when it is short, so that an edit
// keeps every unit the views leave out; else as title() shows it (what the user types there then
// replaces the whole title; a field left unedited leaves it as stored).
QString editableTitle(const QString &title);
// The text on one line: its line and paragraph breaks shown as spaces, nothing else changed.
QString oneLine(QString text);

} // namespace DisplayText
