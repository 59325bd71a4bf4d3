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

// A unit that joins no neighbour of this kind into one character: no mark, joiner, half of a
// surrogate pair, Hangul jamo or CR (CR LF is one), and only jamo join a Hangul syllable. Below
// U+0300 that holds for every unit but CR; above, it is told only for the scripts written
// without spaces, whose pages have a word per character. Every other unit is left to Qt's
// finder, so that the rules Qt tailors (Thai's) never meet this shortcut.
inline bool joinsNoNeighbour(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x0300)
        return u != u'\r';
    if (u >= 0x3000 && u <= 0x303F) // CJK punctuation, not its tone marks
        return u < 0x302A || u > 0x302F;
    if (u >= 0x3040 && u <= 0x30FF) // kana, not the combining voicing marks
        return u != 0x3099 && u != 0x309A;
    return (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF)
           || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF)
           || (u >= 0xFF01 && u <= 0xFF9D); // full-width forms, half-width kana without its marks
}

// True when a quick look tells that every UTF-16 unit of the text is a character of its own, as
// in plain ASCII or a page of Chinese, Japanese or Korean. False leaves the question open.
inline bool eachUnitIsACharacter(QStringView text)
{
    for (const QChar c : text) {
        if (!joinsNoNeighbour(c))
            return false;
    }
    return true;
}

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
