#include "wordflowlayout.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

// Right-to-left paragraphs: the level of every character, as the bidirectional algorithm
// resolves it over the paragraph's words with one space between them, and the order a line's
// words and pieces of words are placed in.

namespace {

// The classes the resolution works with, as QChar names them. Explicit embeddings, isolates and
// boundary neutrals are taken as other neutrals: a script line rarely holds them.
using Class = QChar::Direction;

Class reduced(Class c)
{
    switch (c) {
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirBN:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return QChar::DirON;
    default:
        return c;
    }
}

// Every character of a right-to-left paragraph is classified: those of the Basic Multilingual
// Plane are looked up once for all.
Class classOf(char32_t scalar)
{
    static const auto plane = [] {
        std::array<quint8, 0x10000> classes{};
        for (char32_t c = 0; c < 0x10000; ++c)
            classes[c] = quint8(reduced(QChar::direction(c)));
        return classes;
    }();
    return scalar < 0x10000 ? Class(plane[scalar]) : reduced(QChar::direction(scalar));
}

// Whether a UTF-16 unit may belong to a character that reads right to left or is an Arabic
// number: these lie in the blocks of the right-to-left scripts (and their astral planes' high
// surrogates) and in the right-to-left mark.
bool mayReadRightToLeft(char16_t unit)
{
    return (unit >= 0x0590 && unit <= 0x08ff) || unit == 0x200f
           || (unit >= 0xfb1d && unit <= 0xfdff) || (unit >= 0xfe70 && unit <= 0xfeff)
           || (unit >= 0xd802 && unit <= 0xd803) || (unit >= 0xd83a && unit <= 0xd83b);
}

// The character whose first unit is at `i`, and how many units it takes.
char32_t scalarAt(QStringView word, qsizetype i, int &units)
{
    if (word[i].isHighSurrogate() && i + 1 < word.size() && word[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(word[i], word[i + 1]);
    }
    units = 1;
    return word[i].unicode();
}

// Whether the word holds a character that reads right to left or an Arabic number: the only
// ones that give a character a level other than 0.
bool holdsRightToLeft(QStringView word)
{
    const char16_t *const units = word.utf16();
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (units[i] < 0x0590 || !mayReadRightToLeft(units[i]))
            continue;
        int length = 1;
        const Class c = classOf(scalarAt(word, i, length));
        if (c == QChar::DirR || c == QChar::DirAL || c == QChar::DirAN)
            return true;
    }
    return false;
}

bool isNeutral(quint8 c)
{
    return c == QChar::DirON || c == QChar::DirWS || c == QChar::DirS || c == QChar::DirB;
}

bool isStrong(Class c)
{
    return c == QChar::DirL || c == QChar::DirR || c == QChar::DirAL;
}

// A paired bracket of the paragraph, a run of its own: its place among the runs and, for an
// opening one, the closing bracket that pairs with it.
struct Bracket
{
    std::size_t run = 0;
    char32_t closing = 0; // 0: a closing bracket
    char32_t scalar = 0;
};

// Whether the character is a bracket that pairs with another, as the text engine takes it: a
// mirrored opening or closing punctuation mark.
bool isPairedBracket(char32_t scalar)
{
    const QChar::Category category = QChar::category(scalar);
    return (category == QChar::Punctuation_Open || category == QChar::Punctuation_Close)
           && QChar::hasMirrored(scalar);
}

// Rule N0: a pair of brackets takes the paragraph's direction when the text between them has
// it, else the other one when that text and the text before the pair both have it.
void resolveBrackets(quint8 *classes, quint8 sos, const std::vector<Bracket> &brackets)
{
    // BD16: pairs found with a stack of 63 openings, in the order of their openings.
    constexpr std::size_t deepest = 63;
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    std::vector<const Bracket *> open;
    for (const Bracket &bracket : brackets) {
        if (bracket.closing != 0) {
            if (open.size() == deepest)
                break;
            open.push_back(&bracket);
            continue;
        }
        for (std::size_t k = open.size(); k-- > 0;) {
            if (open[k]->closing == bracket.scalar) {
                pairs.emplace_back(open[k]->run, bracket.run);
                open.resize(k);
                break;
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    // The direction a class gives the text around it; `none` for a neutral.
    constexpr quint8 none = 0xff;
    const auto strong = [](quint8 c) -> quint8 {
        if (c == QChar::DirL)
            return QChar::DirL;
        return c == QChar::DirR || c == QChar::DirEN || c == QChar::DirAN ? quint8(QChar::DirR)
                                                                          : none;
    };
    // The strong direction before each opening, found in one pass, as the pairs before it left
    // their brackets.
    std::size_t scanned = 0;
    quint8 before = sos;
    for (const auto &[opening, closing] : pairs) {
        for (; scanned < opening; ++scanned) {
            if (const quint8 found = strong(classes[scanned]); found != none)
                before = found;
        }
        bool embedding = false;
        bool opposite = false;
        for (std::size_t k = opening + 1; k < closing && !embedding; ++k) {
            const quint8 found = strong(classes[k]);
            embedding = found == sos;
            opposite = opposite || (found != none && found != sos);
        }
        if (!embedding && !opposite)
            continue;
        const quint8 taken = embedding || before == sos ? sos : before;
        classes[opening] = taken;
        classes[closing] = taken;
    }
}

// Rules W1 to W7, N0, N1, N2, I1 and I2 over one paragraph, whose classes become its levels.
// The paragraph comes as runs of characters of one class: a run of letters resolves as one
// letter, a run of digits as one digit, so only separators and brackets, which the rules count
// one by one, stay single.
void resolveParagraph(quint8 *classes, std::size_t n, quint8 base,
                      const std::vector<Bracket> &brackets)
{
    const quint8 sos = base == 1 ? QChar::DirR : QChar::DirL;

    // W1, W2, W3: a mark takes the class before it; a European number after Arabic letters is
    // an Arabic one; Arabic letters read as right to left.
    quint8 previous = sos;
    quint8 lastStrong = sos;
    for (std::size_t i = 0; i < n; ++i) {
        quint8 c = classes[i] == QChar::DirNSM ? previous : classes[i];
        previous = c;
        if (isStrong(Class(c)))
            lastStrong = c;
        else if (c == QChar::DirEN && lastStrong == QChar::DirAL)
            c = QChar::DirAN;
        classes[i] = c == QChar::DirAL ? quint8(QChar::DirR) : c;
    }

    // W4 to W7: one separator between two numbers of a kind joins them; terminators next to a
    // European number join it; other separators and terminators are neutral; a European number
    // in left-to-right text reads as it. Each rule sees the classes the one before it left:
    // `previous` is the run before as W4 leaves it.
    previous = sos;
    lastStrong = sos;
    const auto afterW7 = [&lastStrong](quint8 c) {
        if (c == QChar::DirL || c == QChar::DirR)
            lastStrong = c;
        return c == QChar::DirEN && lastStrong == QChar::DirL ? quint8(QChar::DirL) : c;
    };
    for (std::size_t i = 0; i < n;) {
        const quint8 c = classes[i];
        if (c == QChar::DirET) {
            std::size_t end = i;
            while (end < n && classes[end] == QChar::DirET)
                ++end;
            // What follows the terminators is no separator W4 turns into a number: that one
            // would need a number before it.
            const bool number
                = previous == QChar::DirEN || (end < n && classes[end] == QChar::DirEN);
            const quint8 taken = number ? quint8(QChar::DirEN) : quint8(QChar::DirON);
            for (; i < end; ++i)
                classes[i] = afterW7(taken);
            previous = QChar::DirET;
            continue;
        }
        quint8 taken = c;
        if (c == QChar::DirES || c == QChar::DirCS) {
            const quint8 after = i + 1 < n ? classes[i + 1] : quint8(QChar::DirON);
            const bool joins
                = previous == after
                  && (after == QChar::DirEN || (c == QChar::DirCS && after == QChar::DirAN));
            previous = joins ? after : c;
            taken = joins ? after : quint8(QChar::DirON);
        } else {
            previous = c;
        }
        classes[i] = afterW7(taken);
        ++i;
    }

    if (!brackets.empty())
        resolveBrackets(classes, sos, brackets);

    // N1, N2, I1, I2: neutrals take the direction around them when both sides agree (numbers
    // count as right to left), else the paragraph's; then each class its level.
    const auto side
        = [](quint8 c) { return c == QChar::DirL ? quint8(QChar::DirL) : quint8(QChar::DirR); };
    const auto level = [base](quint8 c) -> quint8 {
        if (base == 0)
            return c == QChar::DirL ? 0 : c == QChar::DirR ? 1 : 2;
        return c == QChar::DirR ? 1 : 2;
    };
    quint8 before = sos;
    for (std::size_t i = 0; i < n;) {
        if (!isNeutral(classes[i])) {
            before = side(classes[i]);
            classes[i] = level(classes[i]);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < n && isNeutral(classes[end]))
            ++end;
        const quint8 after = end < n ? side(classes[end]) : sos;
        const quint8 taken = level(before == after ? before : sos);
        for (; i < end; ++i)
            classes[i] = taken;
    }
}

} // namespace

bool WordFlowLayout::mayHoldRightToLeft(QStringView word)
{
    return std::any_of(word.cbegin(), word.cend(),
                       [](QChar unit) { return mayReadRightToLeft(unit.unicode()); });
}

void WordFlowLayout::resolveLevels()
{
    const int count = int(m_items.size());
    m_paragraphLevels = QList<quint8>(count, 0);
    m_spaceLevels = QList<quint8>(count, 0);
    m_pieces.clear();
    m_hasRightToLeft = false;
    QList<int> breaks(m_lineBreaks.cbegin(), m_lineBreaks.cend());
    std::sort(breaks.begin(), breaks.end());
    auto nextBreak = breaks.cbegin();
    // Per paragraph: the class of each run of its characters, the units the run takes, and
    // the first run of each word; the words stand one space apart.
    std::vector<quint8> classes;
    std::vector<int> units;
    std::vector<std::size_t> wordRuns;
    std::vector<Bracket> brackets;
    for (int first = 0; first < count;) {
        while (nextBreak != breaks.cend() && *nextBreak <= first)
            ++nextBreak;
        const int end = nextBreak != breaks.cend() ? std::min(*nextBreak, count) : count;
        // A paragraph without a right-to-left character or an Arabic number is all at level 0.
        // It is resolved while its words are still at hand.
        const QList<WordItem> &items = m_items;
        const bool rightToLeft
            = std::any_of(items.cbegin() + first, items.cbegin() + end,
                          [](const WordItem &item) { return holdsRightToLeft(item.word); });
        if (!rightToLeft) {
            first = end;
            continue;
        }
        m_hasRightToLeft = true;
        classes.clear();
        units.clear();
        wordRuns.clear();
        brackets.clear();
        quint8 base = 2; // not known yet
        for (int i = first; i < end; ++i) {
            if (i > first) {
                classes.push_back(QChar::DirWS);
                units.push_back(1);
            }
            const std::size_t wordStart = classes.size();
            wordRuns.push_back(wordStart);
            const QString &word = m_items[i].word;
            bool afterBracket = false;
            for (qsizetype k = 0; k < word.size();) {
                int length = 1;
                const char32_t scalar = scalarAt(word, k, length);
                const Class c = classOf(scalar);
                k += length;
                if (base == 2 && isStrong(c))
                    base = c == QChar::DirL ? 0 : 1;
                const bool inWord = classes.size() > wordStart;
                const bool single = [&] {
                    if (!inWord)
                        return true;
                    const quint8 last = classes.back();
                    const bool separator = last == QChar::DirES || last == QChar::DirCS;
                    // A mark belongs to the character before it (rules W1 and N0).
                    if (c == QChar::DirNSM)
                        return separator;
                    return last != c || separator || afterBracket;
                }();
                const bool bracket = c == QChar::DirON && isPairedBracket(scalar);
                if (single || bracket) {
                    classes.push_back(c == QChar::DirNSM && inWord ? classes.back() : quint8(c));
                    units.push_back(length);
                } else {
                    units.back() += length;
                }
                if (bracket) {
                    const bool opening = QChar::category(scalar) == QChar::Punctuation_Open;
                    brackets.push_back(
                        {classes.size() - 1, opening ? QChar::mirroredChar(scalar) : 0, scalar});
                }
                afterBracket = bracket || (afterBracket && c == QChar::DirNSM);
            }
        }
        base = base == 1 ? 1 : 0;
        resolveParagraph(classes.data(), classes.size(), base, brackets);

        for (int i = first; i < end; ++i) {
            WordItem &item = m_items[i];
            const std::size_t runsFrom = wordRuns[std::size_t(i - first)];
            const std::size_t runsTo
                = i + 1 < end ? wordRuns[std::size_t(i + 1 - first)] - 1 : classes.size();
            m_paragraphLevels[i] = base;
            m_spaceLevels[i] = i + 1 < end ? classes[runsTo] : base;
            item.level = runsFrom < runsTo ? classes[runsFrom] : base;
            item.pieceCount = 0;
            const bool oneLevel = std::all_of(classes.cbegin() + qsizetype(runsFrom),
                                              classes.cbegin() + qsizetype(runsTo),
                                              [&item](quint8 l) { return l == item.level; });
            if (oneLevel || item.word.size() > longWordUnits)
                continue;
            // A word whose characters stand at different levels is placed and drawn in pieces.
            item.firstPiece = int(m_pieces.size());
            int unit = 0;
            for (std::size_t run = runsFrom; run < runsTo; ++run) {
                if (run == runsFrom || classes[run] != classes[run - 1])
                    m_pieces.append({unit, 0, classes[run]});
                m_pieces.last().length += units[run];
                unit += units[run];
            }
            item.pieceCount = quint8(m_pieces.size() - item.firstPiece);
        }
        first = end;
    }
}

void WordFlowLayout::placeLine(int line) const
{
    const int first = m_lineStarts[line];
    const int end = m_nextItem;
    if (first == end)
        return;
    // The line as the algorithm sees it: words, or the pieces of a word, each followed by the
    // space after the word; the line's last space at the paragraph's level.
    struct Element
    {
        int word = -1;  // -1: a space
        int piece = -1; // -1: the whole word
    };
    const quint8 base = m_paragraphLevels[first];
    QVarLengthArray<Element, 128> order;
    QVarLengthArray<quint8, 128> levels;
    for (int i = first; i < end; ++i) {
        const WordItem &item = m_items[i];
        if (item.pieceCount == 0) {
            order.append({i, -1});
            levels.append(item.level);
        }
        for (int k = 0; k < item.pieceCount; ++k) {
            order.append({i, item.firstPiece + k});
            levels.append(m_pieces[item.firstPiece + k].level);
        }
        order.append({});
        levels.append(i + 1 < end ? m_spaceLevels[i] : base);
    }
    const int highest = *std::max_element(levels.cbegin(), levels.cend());
    int lowestOdd = 255;
    for (int level : levels) {
        if (level % 2 == 1)
            lowestOdd = std::min(lowestOdd, level);
    }
    // From the highest level down to the lowest odd one, every run at that level or above is
    // reversed: right-to-left runs read backwards, the runs nested in them forwards again.
    for (int level = highest; level >= lowestOdd; --level) {
        for (qsizetype k = 0; k < order.size();) {
            if (levels[k] < level) {
                ++k;
                continue;
            }
            qsizetype runEnd = k;
            while (runEnd < order.size() && levels[runEnd] >= level)
                ++runEnd;
            std::reverse(order.begin() + k, order.begin() + runEnd);
            std::reverse(levels.begin() + k, levels.begin() + runEnd);
            k = runEnd;
        }
    }
    // Laid side by side in that order, from the edge the paragraph starts at. A word's box
    // takes in the space on the side the paragraph reads towards.
    const auto widthOf = [this](const Element &element) {
        if (element.word < 0)
            return m_spaceWidth;
        if (element.piece < 0)
            return m_items[element.word].width - m_spaceWidth;
        return pieceWidth(m_items[element.word], m_pieces[element.piece]);
    };
    qreal lineWidth = 0;
    for (const Element &element : order)
        lineWidth += widthOf(element);
    qreal x = base == 1 ? m_width - lineWidth : 0;
    for (int i = first; i < end; ++i)
        m_items[i].x = std::numeric_limits<qreal>::max();
    for (const Element &element : order) {
        const qreal width = widthOf(element);
        if (element.word >= 0) {
            WordItem &item = m_items[element.word];
            item.spaceOnLeft = base == 1;
            item.x = std::min(item.x, x - (item.spaceOnLeft ? m_spaceWidth : 0));
            if (element.piece >= 0)
                m_pieces[element.piece].x = x;
        }
        x += width;
    }
    // A word the line cannot hold shows its start, on the side it is read from.
    WordItem &only = m_items[first];
    if (end - first == 1 && only.width > m_width) {
        const qreal placed = only.x + (only.spaceOnLeft ? m_spaceWidth : 0);
        only.spaceOnLeft = only.isRightToLeft();
        only.x = only.isRightToLeft() ? m_width - m_lineX : 0;
        const qreal shift = only.x + (only.spaceOnLeft ? m_spaceWidth : 0) - placed;
        for (int k = 0; k < only.pieceCount; ++k)
            m_pieces[only.firstPiece + k].x += shift;
    }
}
