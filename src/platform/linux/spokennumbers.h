#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// How English speakers read the figures of a script aloud.

// The cardinal in words, "two hundred forty"; with `withAnd`, "two hundred and forty". Hyphens
// are left out ("forty two"). Up to 999 trillion; empty beyond.
QString cardinalInWords(std::uint64_t number, bool withAnd = false);
// "first", "twenty second", "one hundredth".
QString ordinalInWords(std::uint64_t number);

// The ways a reader may say a token written with digits: cardinals ("240", "2,000"), decimals
// ("4.5"), ordinals ("3rd"), years ("1999"), decades ("1990s"), times ("10:30"), percentages
// ("45%") and amounts of money ("$240"). Lower-case words separated by single spaces, most
// likely first; empty when the token is not a figure read that way (or is too long to be one).
QStringList spokenForms(const QString &token);
