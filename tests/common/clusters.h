#pragma once

#include <QString>

// Texts of long grapheme clusters.
namespace TestSupport {

inline QString fromScalar(char32_t scalar)
{
    return QString::fromUcs4(&scalar, 1);
}

// `count` combining marks, cycling through the combining diacritics block.
inline QString marks(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(char16_t(0x0300 + i % 0x70));
    return text;
}

// `count` copies of a scalar, each after a zero-width joiner but the first.
inline QString joined(char32_t scalar, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += QChar(0x200d);
        text += fromScalar(scalar);
    }
    return text;
}

} // namespace TestSupport
