#include "characterends.h"

#include "platform/logging.h"
#include "platform/runtimemodule.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <thai/thcell.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

using ThaiCellFinder = CharacterEndsTesting::ThaiCellFinder;
static_assert(std::is_same_v<ThaiCellFinder, decltype(&th_next_cell)>);

// Thai as Qt cuts it into characters: libthai's cells.
bool isThaiUnit(char16_t u)
{
    return u >= 0x0E01 && u <= 0x0E5B && !(u >= 0x0E3B && u <= 0x0E3E);
}

// A Thai letter that always opens a cell: not a vowel or tone mark written above or below, nor
// SARA AM, which libthai joins to the letter before it. The baht sign is common to all scripts,
// so it does not open a Thai run.
bool opensThaiCell(char16_t u)
{
    return isThaiUnit(u) && u != 0x0E31 && !(u >= 0x0E33 && u <= 0x0E3A)
           && !(u >= 0x0E47 && u <= 0x0E4E) && u != 0x0E3F;
}

// Text that Qt cuts exactly into libthai's cells: Thai, printable ASCII and line feeds, with every
// Thai mark after a Thai letter. Each ASCII unit is a character of its own either way; a mark
// after anything else would fall into a run of another script, where other rules join it.
bool isPlainThai(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isThaiUnit(u)) {
            if (!opensThaiCell(u) && (i == 0 || !isThaiUnit(text[i - 1].unicode())))
                return false;
        } else if (u != u'\n' && (u < 0x20 || u > 0x7E)) {
            return false;
        }
    }
    return true;
}

template <typename Visit>
void forEachThaiCellEnd(ThaiCellFinder nextCell, QStringView text, qsizetype offset, Visit &&visit)
{
    QVarLengthArray<thchar_t, 256> tis;
    tis.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        tis.append(thchar_t(u < 0x80 ? u : u - 0x0E00 + 0xA0));
    }
    thcell_t cell;
    for (qsizetype at = 0; at < tis.size();) {
        at += qsizetype(
            std::max<size_t>(nextCell(tis.data() + at, size_t(tis.size() - at), &cell, 1), 1));
        visit(offset + at);
    }
}

std::vector<qsizetype> qtCharacterEnds(QStringView text)
{
    std::vector<qsizetype> ends;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    for (qsizetype at = graphemes.toNextBoundary(); at != -1; at = graphemes.toNextBoundary())
        ends.push_back(at);
    return ends;
}

// Where libthai's cells and Unicode's characters part: marks stacked past what a cell holds
// (two tone marks, a vowel above and one below), SARA AM after a tone mark, leading vowels,
// repetition and abbreviation signs, Thai digits, and ASCII between Thai words.
constexpr char16_t thaiProbe[] = u"\u0E19\u0E49\u0E33\u0E43\u0E08 \u0E01\u0E33\u0E25\u0E31\u0E07"
                                 u"\u0E40\u0E01\u0E35\u0E4A\u0E22\u0E27 \u0E01\u0E49\u0E49"
                                 u"\u0E01\u0E34\u0E38 \u0E24\u0E45\u0E29\u0E35 \u0E1B\u0E31\u0E49"
                                 u"\u0E19\u0E46 \u0E2F\u0E25\u0E2F \u0E51\u0E52 Brivel, "
                                 u"\u0E41\u0E21\u0E48\u0E19\u0E49\u0E33\u0E4C\n\u0E44\u0E02\u0E48";

// The cell finder passes when it cuts the probe exactly as Qt does.
ThaiCellFinder checkedAgainstQt(ThaiCellFinder finder)
{
    if (!finder)
        return nullptr;
    const QStringView probe(thaiProbe);
    std::vector<qsizetype> cells;
    forEachThaiCellEnd(finder, probe, 0, [&cells](qsizetype end) { cells.push_back(end); });
    if (cells == qtCharacterEnds(probe))
        return finder;
    qCWarning(lcPlatform, "libthai cuts Thai otherwise than Qt: Thai is counted by Qt's finder");
    return nullptr;
}

ThaiCellFinder libthaiCellFinder()
{
    static const ThaiCellFinder finder = [] {
        ThaiCellFinder function = nullptr;
        RuntimeModule::system(THAI_SONAME).resolve(function, "th_next_cell");
        return function;
    }();
    return finder;
}

// Null while Qt's finder cuts Thai: libthai is missing or does not cut as Qt does.
std::atomic<ThaiCellFinder> checkedCellFinder{nullptr};

ThaiCellFinder thaiCellFinder()
{
    static std::once_flag checked;
    std::call_once(checked, [] { checkedCellFinder = checkedAgainstQt(libthaiCellFinder()); });
    return checkedCellFinder.load(std::memory_order_relaxed);
}

} // namespace

void CharacterEnds::visit(QStringView text, Visitor visitor, void *context)
{
    // A Thai letter after white space always begins a character, so the text is cut there and
    // only the pieces that are not plain Thai go through Qt's finder.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start + 1;
        while (end < text.size()
               && !(opensThaiCell(text[end].unicode()) && !isThaiUnit(text[end - 1].unicode())
                    && text[end - 1].isSpace()))
            ++end;
        const QStringView piece = text.sliced(start, end - start);
        ThaiCellFinder cells = nullptr;
        if (eachUnitIsACharacter(piece)) {
            for (qsizetype at = start + 1; at <= end; ++at)
                visitor(context, at);
        } else if (isPlainThai(piece) && (cells = thaiCellFinder())) {
            forEachThaiCellEnd(cells, piece, start, [&](qsizetype at) { visitor(context, at); });
        } else {
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece.data(),
                                          piece.size());
            for (qsizetype at = graphemes.toNextBoundary(); at != -1;
                 at = graphemes.toNextBoundary())
                visitor(context, start + at);
        }
        start = end;
    }
}

void appendCharacterEnds(QStringView text, std::vector<qsizetype> &ends)
{
    visitCharacterEnds(text, [&ends](qsizetype end) { ends.push_back(end); });
}

int characterCount(QStringView text)
{
    if (eachUnitIsACharacter(text))
        return int(text.size());
    int count = 0;
    visitCharacterEnds(text, [&count](qsizetype) { ++count; });
    return count;
}

bool CharacterEndsTesting::useThaiCellFinder(ThaiCellFinder finder)
{
    thaiCellFinder();
    const ThaiCellFinder checked = checkedAgainstQt(finder ? finder : libthaiCellFinder());
    checkedCellFinder = checked;
    return checked != nullptr;
}
