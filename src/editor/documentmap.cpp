#include "documentmap.h"

#include "editor/linepieces.h"
#include "settings/displaytext.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int hiddenIdProperty = QTextFormat::UserProperty + 2;

} // namespace

QTextCharFormat DocumentMap::placeholderFormat(int hiddenId)
{
    QTextCharFormat format;
    format.setProperty(hiddenIdProperty, hiddenId);
    return format;
}

int DocumentMap::hiddenIdOf(const QTextCharFormat &format)
{
    return format.intProperty(hiddenIdProperty);
}

int DocumentMap::keepHidden(QString units)
{
    const int id = m_nextId++;
    m_hidden.insert(id, std::move(units));
    return id;
}

void DocumentMap::reset(std::vector<Mark> marks)
{
    m_entries.clear();
    m_shownIds.clear();
    // What is not shown now can only come back with an undo step, and setting a text clears them.
    QHash<int, QString> kept;
    for (const Mark &mark : marks) {
        if (mark.hiddenId != 0)
            kept.insert(mark.hiddenId, m_hidden.value(mark.hiddenId));
    }
    m_hidden = std::move(kept);
    update(0, 0, 0, std::move(marks));
}

int DocumentMap::shiftBefore(size_t index) const
{
    return index == 0 ? 0 : m_entries[index - 1].shiftAfter;
}

void DocumentMap::recount(size_t from)
{
    for (size_t i = from; i < m_entries.size(); ++i)
        m_entries[i].shiftAfter = shiftBefore(i) + m_entries[i].textLength - 1;
    m_lengthDifference = m_entries.empty() ? 0 : m_entries.back().shiftAfter;
}

int DocumentMap::toText(int documentPosition) const
{
    const auto before = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), documentPosition,
        [](const Entry &entry, int position) { return entry.position < position; });
    return documentPosition + shiftBefore(size_t(before - m_entries.cbegin()));
}

int DocumentMap::toDocument(int textPosition) const
{
    // The entries whose text offset lies before the position.
    size_t lo = 0;
    size_t hi = m_entries.size();
    while (lo < hi) {
        const size_t middle = (lo + hi) / 2;
        if (m_entries[middle].position + shiftBefore(middle) < textPosition)
            lo = middle + 1;
        else
            hi = middle;
    }
    if (lo == 0)
        return textPosition;
    const Entry &last = m_entries[lo - 1];
    return std::max(last.position + 1, textPosition - last.shiftAfter);
}

bool DocumentMap::isBreak(int documentPosition) const
{
    const auto at = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), documentPosition,
        [](const Entry &entry, int position) { return entry.position < position; });
    return at != m_entries.cend() && at->position == documentPosition && at->hiddenId == 0;
}

int DocumentMap::firstMark(int from, int to) const
{
    const auto at = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), from,
        [](const Entry &entry, int position) { return entry.position < position; });
    return at != m_entries.cend() && at->position < to ? at->position : to;
}

QString DocumentMap::textOf(QString raw) const
{
    if (m_entries.empty())
        return raw;
    QString text;
    text.reserve(raw.size() + m_lengthDifference);
    appendText(text, raw, 0);
    return text;
}

void DocumentMap::appendText(QString &text, QStringView part, int position) const
{
    const int end = position + int(part.size());
    auto entry = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), position,
        [](const Entry &entry, int position) { return entry.position < position; });
    int from = position;
    for (; entry != m_entries.cend() && entry->position < end; ++entry) {
        text += part.sliced(from - position, entry->position - from);
        if (entry->hiddenId != 0)
            text += m_hidden.value(entry->hiddenId);
        from = entry->position + 1;
    }
    text += part.sliced(from - position);
}

DocumentMap::TextChange DocumentMap::update(int position, int removedLength, int addedLength,
                                            std::vector<Mark> added)
{
    const auto byPosition = [](const Entry &entry, int at) { return entry.position < at; };
    // The entries as they stood before the change give its offsets in the text.
    const auto first = std::lower_bound(m_entries.begin(), m_entries.end(), position, byPosition);
    const auto last
        = std::lower_bound(first, m_entries.end(), position + removedLength, byPosition);
    const size_t firstIndex = size_t(first - m_entries.begin());
    TextChange change{position + shiftBefore(firstIndex), removedLength};
    for (auto it = first; it != last; ++it) {
        change.removedLength += it->textLength - 1;
        m_shownIds.remove(it->hiddenId);
    }
    const auto kept = m_entries.erase(first, last);
    for (auto it = kept; it != m_entries.end(); ++it)
        it->position += addedLength - removedLength;
    std::vector<Entry> entries;
    entries.reserve(added.size());
    for (const Mark &mark : added) {
        if (mark.hiddenId == 0) {
            entries.push_back({mark.position, 0, 0, 0});
            continue;
        }
        const auto hidden = m_hidden.constFind(mark.hiddenId);
        if (hidden == m_hidden.cend() || m_shownIds.contains(mark.hiddenId))
            continue;
        m_shownIds.insert(mark.hiddenId);
        entries.push_back({mark.position, mark.hiddenId, int(hidden->size()), 0});
    }
    m_entries.insert(kept, entries.cbegin(), entries.cend());
    recount(firstIndex);
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

QString documentText(QStringView text, DocumentMap &map, QList<int> &pieceStarts,
                     std::vector<DocumentMap::Mark> &placeholders)
{
    QString shown;
    shown.reserve(text.size());
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < text.size() && !isBlockBreak(text[end]))
            ++end;
        const QStringView stored = text.mid(start, end - start);
        // The line as shown: each long cluster's start and a placeholder for its rest.
        QString cut;
        QList<qsizetype> cutPlaceholders;
        qsizetype from = 0;
        for (const DisplayText::HiddenRun &run : DisplayText::hiddenRuns(stored)) {
            cut += stored.sliced(from, run.position - from);
            cutPlaceholders.append(cut.size());
            placeholders.push_back(
                {0, map.keepHidden(stored.sliced(run.position, run.length).toString())});
            cut += DocumentMap::placeholder;
            from = run.position + run.length;
        }
        if (!cutPlaceholders.isEmpty())
            cut += stored.sliced(from);
        const QStringView line = cutPlaceholders.isEmpty() ? stored : QStringView(cut);
        auto placeholder = placeholders.end() - cutPlaceholders.size();
        auto cutPlaceholder = cutPlaceholders.cbegin();
        // Placeholders before `lineOffset` have their place in `shown`.
        const auto placeUpTo = [&](qsizetype lineOffset, qsizetype shownStart) {
            for (; cutPlaceholder != cutPlaceholders.cend() && *cutPlaceholder < lineOffset;
                 ++cutPlaceholder, ++placeholder)
                placeholder->position = int(shownStart + *cutPlaceholder);
        };
        qsizetype pieceStart = 0;
        for (const int pieceBreak : LinePieces::breaksIn(line)) {
            placeUpTo(pieceBreak, shown.size() - pieceStart);
            shown += line.mid(pieceStart, pieceBreak - pieceStart);
            shown += QChar::ParagraphSeparator;
            pieceStarts.append(int(shown.size()));
            pieceStart = pieceBreak;
        }
        placeUpTo(line.size(), shown.size() - pieceStart);
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

void markPlaceholders(QTextDocument *document, int from,
                      const std::vector<DocumentMap::Mark> &placeholders)
{
    QTextCursor cursor(document);
    for (const DocumentMap::Mark &placeholder : placeholders) {
        cursor.setPosition(from + placeholder.position);
        cursor.setPosition(from + placeholder.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(DocumentMap::placeholderFormat(placeholder.hiddenId));
    }
}

void insertLines(QTextCursor &cursor, QStringView text, DocumentMap &map)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int from = cursor.position();
    QList<int> pieceStarts;
    std::vector<DocumentMap::Mark> placeholders;
    const QString shown = documentText(text, map, pieceStarts, placeholders);
    for (int &pieceStart : pieceStarts)
        pieceStart += from;
    cursor.insertText(shown);
    markPieces(cursor.document(), from, cursor.position(), pieceStarts);
    markPlaceholders(cursor.document(), from, placeholders);
    cursor.endEditBlock();
}

} // namespace DocumentText
