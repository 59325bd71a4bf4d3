#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// Texts are keyed by their Spanish wording. The lookup goes to the string table of the
// interface language chosen in the settings; a key without an entry shows the Spanish text.
QString localizedString(const char *spanishKey);
QString localizedString(const QString &spanishKey);

// A count written as the interface language writes numbers ("2.345.678" in Spanish).
QString localizedNumber(qint64 value);

// Fills the placeholders of a looked-up text. Placeholders without an argument stay as written.
QString formatLocalizedString(const QString &format, const QVariantList &arguments);

// Keys may hold printf-style placeholders ("%lld", "%d", "%@", "%.1f", positional "%2$@"),
// filled in order from the arguments after the lookup.
template <typename... Args>
QString localizedString(const char *spanishKey, const Args &...arguments)
{
    return formatLocalizedString(localizedString(spanishKey), {QVariant::fromValue(arguments)...});
}
