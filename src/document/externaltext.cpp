#include "externaltext.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>

namespace ExternalText {

qsizetype countCharacters(QStringView text, qsizetype limit)
{
    // The boundary finder analyses all it is given at once: given a window at a time, it stops
    // with the count.
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype window = 4096;
    while (start < text.size() && count < limit) {
        QStringView piece = text.mid(start, std::min(window, text.size() - start));
        const bool isLast = start + piece.size() == text.size();
        // Cut between the halves of a surrogate pair, the window would end in a character of its
        // own that splits the cluster before it too.
        if (!isLast && piece.back().isHighSurrogate())
            piece.chop(1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, piece);
        qsizetype from = 0;
        for (qsizetype at = finder.toNextBoundary(); at > 0 && count < limit;
             at = finder.toNextBoundary()) {
            // The window's end cuts the last cluster short unless the text ends there.
            if (at == piece.size() && !isLast)
                break;
            if (at - from != 1 || !isDroppedControl(piece[from].unicode()))
                ++count;
            from = at;
        }
        if (from == 0) {
            window *= 2; // one cluster longer than the window
            continue;
        }
        start += from;
    }
    return count;
}

std::optional<QString> checked(const QString &text)
{
    if (text.size() > maximumCodeUnits
        || countCharacters(text, maximumCharacters + 1) > maximumCharacters) {
        return std::nullopt;
    }
    QString kept = text;
    kept.removeIf([](QChar c) { return isDroppedControl(c.unicode()); });
    return kept;
}

std::optional<QString> textFromLink(const QString &link)
{
    static constexpr QStringView scheme = u"brivel:";
    if (!link.startsWith(scheme))
        return std::nullopt;
    // Tolerant parsing would take "%zz" for the three characters.
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;

    // QUrl folds the host to lower case; the action is compared as written.
    QStringView host;
    const QStringView rest = QStringView(link).mid(scheme.size());
    if (rest.startsWith(u"//")) {
        host = rest.mid(2);
        for (const QChar end : {u'/', u'?', u'#'}) {
            if (const qsizetype at = host.indexOf(end); at >= 0)
                host = host.left(at);
        }
        if (const qsizetype at = host.lastIndexOf(u'@'); at >= 0)
            host = host.mid(at + 1);
        if (const qsizetype at = host.lastIndexOf(u':'); at >= 0)
            host = host.left(at);
    }
    if (host != u"read" && url.path(QUrl::FullyEncoded) != u"/read")
        return std::nullopt;

    // Split by hand: the item's name must be "text" exactly, and "+" is no space here.
    const QString query = url.query(QUrl::FullyEncoded);
    for (const QStringView item : QStringView(query).split(u'&')) {
        const qsizetype equals = item.indexOf(u'=');
        if ((equals < 0 ? item : item.left(equals)) != u"text")
            continue;
        if (equals < 0)
            return std::nullopt;
        // Fully encoded, the value is ASCII; its bytes must be UTF-8, not patched up with
        // replacement characters.
        const QByteArray bytes = QByteArray::fromPercentEncoding(item.mid(equals + 1).toLatin1());
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        if (decoder.hasError())
            return std::nullopt;
        return checked(text);
    }
    return std::nullopt;
}

} // namespace ExternalText
