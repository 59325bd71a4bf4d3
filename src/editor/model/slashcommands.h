#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <optional>

// The commands of the editor's "/" palette, and the window-free rules that drive it: which text
// before the caret is a query, which commands a query lists, how tall the palette is and where
// it goes on screen.

enum class SlashCommandCategory { bullets, stage, delivery, structure, audience };

// Looked up in the interface language each time it is asked for.
QString slashCommandCategoryTitle(SlashCommandCategory category);

struct SlashCommand
{
    QString id; // the trigger
    QString trigger;
    QString label;
    QString icon; // a name of Icons
    QString insertion;
    SlashCommandCategory category = SlashCommandCategory::bullets;
};

// The fifteen commands in the interface language: built once per language, so labels and the
// bracketed cue insertions follow a change of language.
const QList<SlashCommand> &allSlashCommands();

// Folds a text for matching: canonical decomposition, combining marks dropped, case-folded.
QString foldForSlashMatch(QStringView text);

// The commands, in table order, whose trigger begins with the folded query or whose folded label
// contains it; every command for an empty query.
QList<SlashCommand> filteredSlashCommands(const QString &query);

struct SlashQuery
{
    QString query;  // lower-cased
    int start = 0;  // offset of the "/"
    int length = 0; // the "/" and the query
};

// The "/" and what was typed after it, when the caret ends a word that begins with "/" at the
// start of the text or after white space. The walk back from the caret stops at the longest query
// any command can match, so it costs the same on any page; a longer run finds nothing.
// Offsets are UTF-16.
std::optional<SlashQuery> slashQuery(QStringView text, int caret);
// How far slashQuery() may look back from the caret: the longest query, its "/" and the character
// before it. A caller handing it a part of the page needs no more than this.
int slashQueryLookBehind();

// 30 per row, 22 per category among the rows, 16 of padding, within 44 ... 300.
int slashPanelHeight(const QList<SlashCommand> &commands);

// Where the palette's top-left corner goes for the caret's rectangle (global, y down): 4 below
// the caret, or 4 above it when it would leave the bottom of the screen's available area; moved
// left to stay 8 inside its right edge. It never leaves the available area on any side. Without a
// screen, a 1440 x 900 area at the origin stands in.
QPoint slashPanelPosition(const QRect &caret, const QSize &panel,
                          const std::optional<QRect> &available);
