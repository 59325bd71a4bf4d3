#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Text that other programs hand to Brivel to read: through a "brivel://read?text=…" link or the
// desktop's text entry. What is shown must be text a person could have meant, and small enough
// to lay out.
namespace ExternalText {

// In user-perceived characters (grapheme clusters).
constexpr qsizetype maximumCharacters = 100'000;
// In UTF-16 code units, whatever the clusters: a single cluster of megabytes of combining marks
// counts as one character but is no text to lay out. Generous for any real script.
constexpr qsizetype maximumCodeUnits = 32 * maximumCharacters;

// True for the controls that are dropped from text from outside, since no font draws them: the C0
// controls but tab and line breaks, DEL and the C1 controls.
constexpr bool isDroppedControl(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7f && c <= 0x9f);
}

// The grapheme clusters of the text, the dropped controls not counted, but no more than `limit`:
// the count stops there, so a huge text costs no more than one at the limit.
qsizetype countCharacters(QStringView text, qsizetype limit);

// The text to show without the dropped controls, or nothing when it is too long.
std::optional<QString> checked(const QString &text);

// What a "brivel" link asks Brivel to read: the first "text" query item of
// "brivel://read?text=…" (or "brivel:/read?text=…"), decoded and checked; nothing for any other
// link, a malformed one, one whose value is not UTF-8, or one that is too long. The scheme and
// the action are compared as written, without case folding.
std::optional<QString> textFromLink(const QString &link);

} // namespace ExternalText
