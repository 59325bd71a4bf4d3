#include "spokennumbers.h"

#include <QRegularExpression>

#include <array>

namespace {

constexpr std::array<const char *, 20> units
    = {"zero",     "one",     "two",     "three",     "four",     "five",    "six",
       "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
       "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<const char *, 10> tens
    = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
constexpr std::array<const char *, 5> scales = {"", "thousand", "million", "billion", "trillion"};
constexpr std::uint64_t largestCardinal = 999'999'999'999'999ULL;
// Longer runs of digits are no figure anybody reads out.
constexpr qsizetype maxDigits = 15;

QString belowHundred(int number)
{
    if (number < 20)
        return QString::fromLatin1(units[size_t(number)]);
    QString words = QString::fromLatin1(tens[size_t(number / 10)]);
    if (number % 10)
        words += u' ' + QString::fromLatin1(units[size_t(number % 10)]);
    return words;
}

QString belowThousand(int number, bool withAnd)
{
    if (number < 100)
        return belowHundred(number);
    QString words = QString::fromLatin1(units[size_t(number / 100)]) + u" hundred";
    if (number % 100)
        words += (withAnd ? u" and "_qs : u" "_qs) + belowHundred(number % 100);
    return words;
}

QString digitByDigit(QStringView digits, const char *zero = "zero")
{
    QStringList words;
    for (const QChar digit : digits)
        words.append(QString::fromLatin1(digit == u'0' ? zero : units[size_t(digit.digitValue())]));
    return words.join(u' ');
}

// "nineteen ninety nine", "nineteen oh five", "eleven hundred", and before 2000 also the slower
// "nineteen hundred (and) ninety nine"; years such as 2005 or 1000 are read as cardinals.
QStringList yearInWords(int year)
{
    const int high = year / 100;
    const int low = year % 100;
    if (high % 10 == 0 && low < 10)
        return {};
    const QString century = belowHundred(high);
    if (low == 0)
        return {century + u" hundred"};
    QStringList forms{century + u' '
                      + (low < 10 ? u"oh "_qs + belowHundred(low) : belowHundred(low))};
    if (high < 20) {
        forms.append(century + u" hundred " + belowHundred(low));
        forms.append(century + u" hundred and " + belowHundred(low));
    }
    return forms;
}

// "ninety" → "nineties", "six" → "sixes".
QString pluralOfLastWord(const QString &words)
{
    if (words.endsWith(u'y'))
        return words.chopped(1) + u"ies";
    if (words.endsWith(u'x') || words.endsWith(u's'))
        return words + u"es";
    return words + u's';
}

void appendUnique(QStringList &forms, const QString &form)
{
    if (!form.isEmpty() && !forms.contains(form))
        forms.append(form);
}

// Ways of reading a whole number written with its digits (and perhaps thousands separators).
QStringList wholeNumberForms(const QString &digits, bool maybeYear)
{
    QStringList forms;
    if (digits.size() > maxDigits)
        return forms;
    // "007" and "0800" are read digit by digit.
    if (digits.size() > 1 && digits.startsWith(u'0')) {
        forms.append(digitByDigit(digits));
        forms.append(digitByDigit(digits, "oh"));
        return forms;
    }
    const std::uint64_t number = digits.toULongLong();
    if (maybeYear && number >= 1100 && number <= 2099) {
        for (const QString &form : yearInWords(int(number)))
            appendUnique(forms, form);
    }
    appendUnique(forms, cardinalInWords(number));
    appendUnique(forms, cardinalInWords(number, true));
    return forms;
}

} // namespace

QString cardinalInWords(std::uint64_t number, bool withAnd)
{
    if (number > largestCardinal)
        return {};
    if (number == 0)
        return u"zero"_qs;
    QStringList groups;
    for (size_t scale = 0; number > 0; ++scale, number /= 1000) {
        const int group = int(number % 1000);
        if (group == 0)
            continue;
        QString words = belowThousand(group, withAnd);
        if (scale > 0)
            words += u' ' + QString::fromLatin1(scales[scale]);
        // "one thousand and five": the last group below a hundred after a higher one.
        else if (withAnd && group < 100 && number >= 1000)
            words = u"and "_qs + words;
        groups.prepend(words);
    }
    return groups.join(u' ');
}

QString ordinalInWords(std::uint64_t number)
{
    const QString cardinal = cardinalInWords(number);
    if (cardinal.isEmpty())
        return {};
    static const QList<std::pair<QString, QString>> irregular
        = {{u"one"_qs, u"first"_qs},     {u"two"_qs, u"second"_qs},   {u"three"_qs, u"third"_qs},
           {u"five"_qs, u"fifth"_qs},    {u"eight"_qs, u"eighth"_qs}, {u"nine"_qs, u"ninth"_qs},
           {u"twelve"_qs, u"twelfth"_qs}};
    const qsizetype lastSpace = cardinal.lastIndexOf(u' ');
    const QString head = cardinal.left(lastSpace + 1);
    const QString last = cardinal.mid(lastSpace + 1);
    for (const auto &[word, ordinal] : irregular) {
        if (last == word)
            return head + ordinal;
    }
    if (last.endsWith(u'y'))
        return head + last.chopped(1) + u"ieth";
    return head + last + u"th";
}

QStringList spokenForms(const QString &token)
{
    static const QRegularExpression figure(
        QStringLiteral("^([$€£]?)(\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.(\\d+))?(st|nd|rd|th|s|%)?$"));
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QString lowered = token.toLower();
    QStringList forms;

    if (const QRegularExpressionMatch match = time.match(lowered); match.hasMatch()) {
        const int hours = match.captured(1).toInt();
        const int minutes = match.captured(2).toInt();
        if (hours > 24 || minutes > 59)
            return forms;
        const QString hour = belowHundred(hours);
        if (minutes == 0) {
            forms.append(hour + u" o'clock");
            forms.append(hour);
        } else {
            forms.append(hour + u' ' + (minutes < 10 ? u"oh "_qs : QString())
                         + belowHundred(minutes));
        }
        return forms;
    }

    const QRegularExpressionMatch match = figure.match(lowered);
    if (!match.hasMatch())
        return forms;
    const QString currency = match.captured(1);
    QString whole = match.captured(2);
    const bool grouped = whole.contains(u',');
    whole.remove(u',');
    const QString fraction = match.captured(3);
    const QString suffix = match.captured(4);
    if (whole.size() > maxDigits || fraction.size() > maxDigits)
        return forms;

    if (suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th") {
        if (!currency.isEmpty() || !fraction.isEmpty()
            || (whole.size() > 1 && whole.startsWith(u'0')))
            return forms;
        appendUnique(forms, ordinalInWords(whole.toULongLong()));
        return forms;
    }
    if (suffix == u"s") {
        // "1990s", "80s": decades, and plain plurals.
        if (!currency.isEmpty() || !fraction.isEmpty())
            return forms;
        const QStringList numbers = wholeNumberForms(whole, !grouped);
        // A year-like number in the plural is a decade, read as the year is.
        if (!numbers.isEmpty())
            forms.append(pluralOfLastWord(numbers.first()));
        return forms;
    }

    QStringList amounts;
    if (fraction.isEmpty()) {
        amounts = wholeNumberForms(whole, !grouped && currency.isEmpty() && suffix.isEmpty());
    } else {
        for (const QString &form : wholeNumberForms(whole, false))
            appendUnique(amounts, form + u" point " + digitByDigit(fraction));
        if (whole.toULongLong() == 0)
            appendUnique(amounts, u"point "_qs + digitByDigit(fraction));
    }
    if (amounts.isEmpty())
        return forms;

    if (suffix == u"%") {
        for (const QString &amount : std::as_const(amounts))
            appendUnique(forms, amount + u" percent");
        return forms;
    }
    if (!currency.isEmpty()) {
        const bool one = fraction.isEmpty() && whole.toULongLong() == 1;
        const QString unit = currency == u"$"   ? (one ? u"dollar"_qs : u"dollars"_qs)
                             : currency == u"€" ? (one ? u"euro"_qs : u"euros"_qs)
                                                : (one ? u"pound"_qs : u"pounds"_qs);
        // "$4.50": four dollars fifty.
        if (fraction.size() == 2) {
            const QString dollars = cardinalInWords(whole.toULongLong());
            const int cents = fraction.toInt();
            if (!dollars.isEmpty() && cents > 0) {
                appendUnique(forms, dollars + u' ' + unit + u' ' + belowHundred(cents));
                appendUnique(forms, dollars + u' ' + belowHundred(cents));
            }
        }
        for (const QString &amount : std::as_const(amounts))
            appendUnique(forms, amount + u' ' + unit);
        // The unit may come after a scale word: "$240 million" is read "… million dollars".
        for (const QString &amount : std::as_const(amounts))
            appendUnique(forms, amount);
        return forms;
    }
    return amounts;
}
