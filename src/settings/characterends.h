#pragma once

#include <QStringView>

#include <cstddef>
#include <vector>

struct thcell_t;

// User-perceived characters (grapheme clusters), as Qt's text engine cuts them; except that
// emoji or line ends opening a text before its first Thai letter stay whole, where Qt would give
// them Thai's rules and cut them into code units.
//
// Qt cuts Thai into libthai's cells, but runs libthai's dictionary word breaker over every Thai
// run to find them, and on a long page that dictionary is most of the cost. Here the cells are
// asked for alone. Before the first Thai is counted, they are compared once with Qt's own
// characters on a fixed Thai text; where the two differ (a Qt built without libthai, a later Qt
// that cuts Thai otherwise) Qt's finder cuts every piece, so that the counts never part from
// the editor's.
int characterCount(QStringView text);
// Appends the end of each of those characters, in order.
void appendCharacterEnds(QStringView text, std::vector<qsizetype> &ends);

// True when every UTF-16 unit of the text is a character of its own, which a quick look tells.
bool eachUnitIsACharacter(QStringView text);

namespace CharacterEnds {
using Visitor = void (*)(void *context, qsizetype end);
void visit(QStringView text, Visitor visitor, void *context);
} // namespace CharacterEnds

// Calls visit(end) with the end of each of those characters, in order.
template <typename Visit>
void visitCharacterEnds(QStringView text, Visit visit)
{
    CharacterEnds::visit(
        text, [](void *context, qsizetype end) { (*static_cast<Visit *>(context))(end); }, &visit);
}

namespace CharacterEndsTesting {
// libthai's cell finder, or a stand-in for it.
using ThaiCellFinder
    = size_t (*)(const unsigned char *text, size_t length, thcell_t *cell, int decomposeAm);
// Checks the finder against Qt as the first Thai counted checks libthai's, and counts Thai with
// it from now on if it passes; null goes back to libthai's. Returns whether it passed.
bool useThaiCellFinder(ThaiCellFinder finder);
} // namespace CharacterEndsTesting
