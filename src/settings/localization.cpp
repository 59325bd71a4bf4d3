#include "localization.h"

#include "notchsettings.h"

#include "platform/bundle.h"

#include <QLocale>

QString localizedString(const char *spanishKey)
{
    return localizedString(QString::fromUtf8(spanishKey));
}

QString localizedString(const QString &spanishKey)
{
    return NotchSettings::shared().localizationBundle()->localizedString(spanishKey);
}

QString localizedNumber(qint64 value)
{
    // Qt 6.4 applies a locale's minimum grouping to the leading group instead of to the whole
    // number, so Spanish gets "2345.678"; the grouping is made here, as the locale asks for it.
    const QLocale locale = NotchSettings::shared().currentLocale();
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString digits = plain.toString(value);
    const qsizetype start
        = digits.startsWith(plain.negativeSign()) ? plain.negativeSign().size() : 0;
    // A locale whose minimum grouping is two leaves four digits ungrouped.
    const qsizetype shortestGrouped = locale.toString(1000).size() > 4 ? 4 : 5;
    if (digits.size() - start < shortestGrouped)
        return digits;
    const QString separator = locale.groupSeparator();
    for (qsizetype at = digits.size() - 3; at > start; at -= 3)
        digits.insert(at, separator);
    return digits;
}

namespace {

QString formatArgument(const QVariant &argument, QChar conversion, int precision)
{
    switch (conversion.unicode()) {
    case 'd':
    case 'i':
    case 'u':
        return QString::number(argument.toLongLong());
    case 'f':
        return QString::number(argument.toDouble(), 'f', precision < 0 ? 6 : precision);
    default:
        return argument.toString();
    }
}

} // namespace

QString formatLocalizedString(const QString &format, const QVariantList &arguments)
{
    QString result;
    result.reserve(format.size());
    qsizetype nextArgument = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 >= n) {
            result += c;
            continue;
        }
        if (format.at(i + 1) == u'%') {
            result += u'%';
            ++i;
            continue;
        }
        // %[position$][.precision][length]conversion
        qsizetype j = i + 1;
        qsizetype position = -1;
        qsizetype digitsEnd = j;
        while (digitsEnd < n && format.at(digitsEnd).isDigit())
            ++digitsEnd;
        if (digitsEnd > j && digitsEnd < n && format.at(digitsEnd) == u'$') {
            position = format.mid(j, digitsEnd - j).toLongLong() - 1;
            j = digitsEnd + 1;
        }
        int precision = -1;
        if (j < n && format.at(j) == u'.') {
            qsizetype k = j + 1;
            while (k < n && format.at(k).isDigit())
                ++k;
            precision = format.mid(j + 1, k - j - 1).toInt();
            j = k;
        }
        while (j < n && (format.at(j) == u'l' || format.at(j) == u'h' || format.at(j) == u'q'))
            ++j;
        if (j >= n || !QStringView(u"dius@f").contains(format.at(j))) {
            result += c;
            continue;
        }
        const qsizetype index = position >= 0 ? position : nextArgument++;
        if (index < 0 || index >= arguments.size()) {
            result += format.mid(i, j - i + 1);
        } else {
            result += formatArgument(arguments.at(index), format.at(j), precision);
        }
        i = j;
    }
    return result;
}
