#include "documentmap.h"

#include "editor/linepieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

void DocumentMap::reset(std::vector<int> breaks)
{
    m_breaks = std::move(breaks);
}

int DocumentMap::toText(int documentPosition) const
{
    const auto before = std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), documentPosition);
    return documentPosition - int(before - m_breaks.cbegin());
}

int DocumentMap::toDocument(int textPosition) const
{
    // The i-th break stands at text offset m_breaks[i] - i.
    int lo = 0;
    int hi = int(m_breaks.size());
    while (lo < hi) {
        const int middle = (lo + hi) / 2;
        if (m_breaks[size_t(middle)] - middle < textPosition)
            lo = middle + 1;
        else
            hi = middle;
    }
    return textPosition + lo;
}

bool DocumentMap::isBreak(int documentPosition) const
{
    return std::binary_search(m_breaks.cbegin(), m_breaks.cend(), documentPosition);
}

QString DocumentMap::textOf(QString raw) const
{
    if (m_breaks.empty())
        return raw;
    QString text;
    text.reserve(raw.size());
    qsizetype start = 0;
    for (const int pieceBreak : m_breaks) {
        text += QStringView(raw).mid(start, pieceBreak - start);
        start = pieceBreak + 1;
    }
    text += QStringView(raw).mid(start);
    return text;
}

DocumentMap::TextChange DocumentMap::update(int position, int removedLength, int addedLength,
                                            const std::vector<int> &addedBreaks)
{
    // The breaks as they stood before the change give its offsets in the text.
    const auto first = std::lower_bound(m_breaks.begin(), m_breaks.end(), position);
    const auto last = std::lower_bound(first, m_breaks.end(), position + removedLength);
    const TextChange change{position - int(first - m_breaks.begin()),
                            removedLength - int(last - first)};
    const auto kept = m_breaks.erase(first, last);
    for (auto it = kept; it != m_breaks.end(); ++it)
        *it += addedLength - removedLength;
    m_breaks.insert(kept, addedBreaks.cbegin(), addedBreaks.cend());
    return change;
}

namespace DocumentText {

namespace {

// What QTextCursor::insertText() makes a new block of ("\r\n" counts once).
bool isBlockBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == u'\ufdd0'
           || c == u'\ufdd1';
}

} // namespace

QString documentText(QStringView text, QList<int> &pieceStarts)
{
    QString shown;
    shown.reserve(text.size());
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < text.size() && !isBlockBreak(text[end]))
            ++end;
        const QStringView line = text.mid(start, end - start);
        qsizetype pieceStart = 0;
        for (const int pieceBreak : LinePieces::breaksIn(line)) {
            shown += line.mid(pieceStart, pieceBreak - pieceStart);
            shown += QChar::ParagraphSeparator;
            pieceStarts.append(int(shown.size()));
            pieceStart = pieceBreak;
        }
        shown += line.mid(pieceStart);
        if (end == text.size())
            return shown;
        shown += QChar::ParagraphSeparator;
        start = end + (text.mid(end).startsWith(u"\r\n") ? 2 : 1);
    }
}

void markPieces(QTextDocument *document, int from, int to, const QList<int> &pieceStarts)
{
    auto piece = pieceStarts.cbegin();
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        while (piece != pieceStarts.cend() && *piece < block.position())
            ++piece;
        const bool continues = piece != pieceStarts.cend() && *piece == block.position();
        if (block.position() > from && continues != LinePieces::continuesLine(block))
            QTextCursor(block).setBlockFormat(continues ? LinePieces::continuationFormat()
                                                        : QTextBlockFormat());
    }
}

void insertLines(QTextCursor &cursor, QStringView text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int from = cursor.position();
    QList<int> pieceStarts;
    const QString shown = documentText(text, pieceStarts);
    for (int &pieceStart : pieceStarts)
        pieceStart += from;
    cursor.insertText(shown);
    markPieces(cursor.document(), from, cursor.position(), pieceStarts);
    cursor.endEditBlock();
}

} // namespace DocumentText
