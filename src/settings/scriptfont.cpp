#include "scriptfont.h"

#include "platform/fonts.h"

#include <QStringList>

namespace {

// The design to use for a generic family, or nothing when the machine resolves it to the
// same face as the system font (no such design installed).
std::optional<QString> designFamily(const QString &generic)
{
    const QString resolved = Fonts::resolvedFamily(generic);
    const QString base = Fonts::resolvedFamily(Fonts::systemFont(12, QFont::Normal).family());
    if (resolved.isEmpty() || resolved == base)
        return std::nullopt;
    return resolved;
}

} // namespace

QString dyslexiaFamily()
{
    for (const QString &family :
         {QStringLiteral("OpenDyslexic3"), QStringLiteral("OpenDyslexic")}) {
        if (Fonts::hasFamily(family))
            return family;
    }
    return {};
}

QFont font(FontFamilyPreset family, double pointSize, QFont::Weight weight)
{
    switch (family) {
    case FontFamilyPreset::sans:
        break;
    case FontFamilyPreset::serif:
        if (const auto serif = designFamily(QStringLiteral("serif")))
            return Fonts::font(*serif, pointSize, weight);
        break;
    case FontFamilyPreset::mono:
        return Fonts::monospacedSystemFont(pointSize, weight);
    case FontFamilyPreset::dyslexia: {
        // The dyslexia face comes in its own weight; the requested one does not apply.
        const QString dyslexic = dyslexiaFamily();
        if (!dyslexic.isEmpty())
            return Fonts::font(dyslexic, pointSize, QFont::Normal);
        break;
    }
    }
    return Fonts::systemFont(pointSize, weight);
}
