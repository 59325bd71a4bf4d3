#include "highlightingtexteditor.h"

#include "editor/bulletediting.h"
#include "editor/cuehighlighter.h"
#include "editor/documentmap.h"
#include "editor/linepieces.h"
#include "editor/slashcommandpalette.h"
#include "settings/displaytext.h"
#include "settings/palette.h"
#include "uikit/overlayscroller.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <iterator>

HighlightingTextEditor::HighlightingTextEditor(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_flashTimer(new QTimer(this))
    , m_slashPalette(new SlashCommandPalette(this))
{
    auto *pieces = new QTextDocument(this);
    pieces->setDocumentLayout(new LinePieces::DocumentLayout(pieces));
    setDocument(pieces);
    // Each paragraph starts on the side its own direction starts on. With AlignJustify in the
    // alignment Qt aligns a right-to-left line to the right; it stretches lines only for
    // AlignJustify alone, so with AlignLeft the other lines stay as they are.
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignLeft | Qt::AlignJustify);
    document()->setDefaultTextOption(option);
    new CueHighlighter(document());
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // No scroll bar takes room from the text; a thin one shows the position while scrolling.
    new OverlayScroller(this);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setBackgroundVisible(false);
    viewport()->setAutoFillBackground(false);
    // One pixel, the caret's width: a right-to-left line ends at the right margin, and a caret at
    // its start is drawn to the right of it, where with no margin the viewport would clip it.
    document()->setDocumentMargin(1);
    // The margin is recorded as an edit; the user must not be able to undo it.
    document()->clearUndoRedoStacks();
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, whiteAt(0.85));
    setPalette(colours);

    m_flashTimer->setSingleShot(true);
    m_flashTimer->setInterval(flashDurationMs);
    connect(m_flashTimer, &QTimer::timeout, this, &HighlightingTextEditor::endFlash);

    connect(document(), &QTextDocument::contentsChange, this,
            &HighlightingTextEditor::recordChange);
    connect(document(), &QTextDocument::contentsChanged, this,
            &HighlightingTextEditor::finishChange);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            &HighlightingTextEditor::reportCaret);
    connect(this, &QPlainTextEdit::selectionChanged, this, &HighlightingTextEditor::reportCaret);
}

HighlightingTextEditor::~HighlightingTextEditor() = default;

QString HighlightingTextEditor::text() const
{
    // toPlainText() would also turn no-break spaces into spaces.
    QString text = m_map.textOf(document()->toRawText());
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void HighlightingTextEditor::setText(const QString &text)
{
    // Lengths first: comparing the texts takes a copy of the whole page.
    if (text.size() == textLength() && text == this->text())
        return;
    // The palette's range belongs to the text it was opened on.
    m_slashPalette->close();
    const int anchor = toText(textCursor().anchor());
    const int position = toText(textCursor().position());
    {
        const QScopedValueRollback guard(m_settingText, true);
        // Long lines go in as pieces: building the document from one string is what keeps a page
        // of a million characters quick to open.
        QList<int> pieceStarts;
        std::vector<DocumentMap::Mark> placeholders;
        setPlainText(DocumentText::documentText(text, m_map, pieceStarts, placeholders));
        std::vector<DocumentMap::Mark> breaks;
        if (!pieceStarts.isEmpty() || !placeholders.empty()) {
            QTextCursor marker(document());
            marker.beginEditBlock();
            for (const int pieceStart : std::as_const(pieceStarts)) {
                marker.setPosition(pieceStart);
                marker.setBlockFormat(LinePieces::continuationFormat());
                breaks.push_back({pieceStart - 1, 0});
            }
            DocumentText::markPlaceholders(document(), 0, placeholders);
            marker.endEditBlock();
            document()->clearUndoRedoStacks();
        }
        std::vector<DocumentMap::Mark> marks;
        marks.reserve(breaks.size() + placeholders.size());
        std::merge(breaks.cbegin(), breaks.cend(), placeholders.cbegin(), placeholders.cend(),
                   std::back_inserter(marks),
                   [](const DocumentMap::Mark &a, const DocumentMap::Mark &b) {
                       return a.position < b.position;
                   });
        m_map.reset(std::move(marks));
    }
    endFlash();
    const int length = textLength();
    QTextCursor cursor(document());
    cursor.setPosition(toView(std::min(anchor, length)));
    cursor.setPosition(toView(std::min(position, length)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    if (const QString stored = this->text(); stored != text)
        Q_EMIT textEdited(0, int(text.size()), stored);
}

void HighlightingTextEditor::setCaretPosition(int position)
{
    if (position < 0 || position > textLength())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(toView(position));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void HighlightingTextEditor::bumpHighlight(int position, int length)
{
    if (position < 0 || length < 1 || position + length > textLength())
        return;
    QTextEdit::ExtraSelection flash;
    flash.cursor = QTextCursor(document());
    flash.cursor.setPosition(toView(position));
    flash.cursor.setPosition(toView(position + length), QTextCursor::KeepAnchor);
    // The platform accent, not the teal of the interface.
    QColor accent(10, 132, 255);
    accent.setAlphaF(0.15f);
    flash.format.setBackground(accent);
    setExtraSelections({flash});
    m_flashTimer->start();
}

void HighlightingTextEditor::presentSlashMenu()
{
    setFocus(Qt::OtherFocusReason);
    Q_EMIT slashMenuRequested(toText(textCursor().selectionStart()));
}

QString HighlightingTextEditor::textRange(int from, int to) const
{
    from = std::clamp(from, 0, textLength());
    to = std::clamp(to, from, textLength());
    return textBetween(toView(from), toView(to));
}

bool HighlightingTextEditor::replaceText(int position, int length, const QString &text)
{
    if (isReadOnly() || position < 0 || length < 0 || position + length > textLength())
        return false;
    QTextCursor cursor(document());
    cursor.setPosition(toView(position));
    cursor.setPosition(toView(position + length), QTextCursor::KeepAnchor);
    DocumentText::insertLines(cursor, text, m_map);
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

QRect HighlightingTextEditor::caretRect(int position) const
{
    QTextCursor cursor(document());
    cursor.setPosition(toView(std::clamp(position, 0, textLength())));
    return cursorRect(cursor);
}

int HighlightingTextEditor::textLength() const
{
    return document()->characterCount() - 1 + m_map.lengthDifference();
}

int HighlightingTextEditor::toText(int viewPosition) const
{
    return m_map.toText(viewPosition);
}

int HighlightingTextEditor::toView(int textPosition) const
{
    return m_map.toDocument(textPosition);
}

QString HighlightingTextEditor::textBetween(int from, int to) const
{
    QString text;
    text.reserve(to - from);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from && !LinePieces::continuesLine(block))
            text += u'\n';
        const int start = std::max(from, block.position());
        const int end = std::min(to, block.position() + block.length() - 1);
        if (end > start)
            m_map.appendText(
                text, QStringView(block.text()).mid(start - block.position(), end - start), start);
    }
    return text;
}

void HighlightingTextEditor::showInPieces(int from, int to)
{
    QList<int> breaks;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        for (const int pieceBreak : LinePieces::breaksIn(block.text()))
            breaks.append(block.position() + pieceBreak);
    }
    if (breaks.isEmpty())
        return;
    const QScopedValueRollback guard(m_makingPieces, true);
    QTextCursor cursor(document());
    // Undone together with the edit that made the line long.
    cursor.joinPreviousEditBlock();
    for (auto it = breaks.crbegin(); it != breaks.crend(); ++it) {
        cursor.setPosition(*it);
        cursor.insertBlock(LinePieces::continuationFormat());
    }
    cursor.endEditBlock();
}

void HighlightingTextEditor::keepBreakBetweenClusters(const QTextBlock &piece)
{
    // A mark typed or pasted at the start of a piece belongs to the cluster that ends the piece
    // before: the break moves past that cluster, within the edit's undo step.
    if (!piece.isValid() || !LinePieces::continuesLine(piece) || piece.length() == 1)
        return;
    const QTextBlock before = piece.previous();
    if (before.length() == 1)
        return;
    // The piece before starts on a boundary, which the finder's rules for flags need.
    const QString joined = before.text() + piece.text();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, joined);
    graphemes.setPosition(before.length() - 1);
    if (graphemes.isAtBoundary())
        return;
    const int clusterEnd = before.position() + int(graphemes.toNextBoundary());
    const QScopedValueRollback guard(m_makingPieces, true);
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    cursor.setPosition(piece.position() - 1);
    cursor.setPosition(piece.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (clusterEnd < before.position() + joined.size()) {
        cursor.setPosition(clusterEnd);
        cursor.insertBlock(LinePieces::continuationFormat());
    }
    cursor.endEditBlock();
}

void HighlightingTextEditor::cutGrownCluster(int joint)
{
    // Marks typed, pasted or dropped onto a cluster, or an edit that joins two, can make a
    // cluster longer than a loaded one is ever shown: it is cut as DocumentText cuts a loaded
    // one, within the edit's undo step.
    const auto [start, end] = clusterAround(joint);
    if (start == end)
        return;
    const QString stored = textBetween(start, end);
    const QList<DisplayText::HiddenRun> runs = DisplayText::hiddenRuns(stored);
    if (runs.isEmpty())
        return;
    const int kept = int(runs.front().position);
    const int firstMark = m_map.firstMark(start, end) - start;
    if (firstMark == kept && end - start == kept + 1)
        return;
    // Up to its first placeholder the document holds the stored start.
    const int same = std::min(kept, firstMark);
    const QScopedValueRollback guard(m_makingPieces, true);
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    cursor.setPosition(start + same);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(stored.sliced(same, kept - same), QTextCharFormat());
    cursor.insertText(DocumentMap::placeholder,
                      DocumentMap::placeholderFormat(m_map.keepHidden(stored.sliced(kept))));
    cursor.endEditBlock();
}

bool HighlightingTextEditor::growsLongCluster(int from, int to, QStringView inserted) const
{
    // Whether replacing [from, to) of one block with `inserted` leaves a cluster longer than the
    // cut length across either end of the replacement. No cluster of the document is longer than
    // one cut, so the text a cluster's length away on either side decides.
    const QTextBlock block = document()->findBlock(from);
    constexpr int reach = 2 * DisplayText::maximumClusterLength + 2;
    const QString text = block.text();
    const int start = std::max(0, from - block.position() - reach);
    const int end = std::min(int(text.size()), to - block.position() + reach);
    const QString edited
        = text.sliced(start, from - block.position() - start) + inserted
          + QStringView(text).sliced(to - block.position(), end - (to - block.position()));
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, edited);
    const qsizetype before = from - block.position() - start;
    for (const qsizetype joint : {before, before + inserted.size()}) {
        if (joint <= 0 || joint >= edited.size())
            continue;
        graphemes.setPosition(joint);
        if (graphemes.isAtBoundary())
            continue;
        const qsizetype clusterStart = graphemes.toPreviousBoundary();
        graphemes.setPosition(joint);
        if (graphemes.toNextBoundary() - clusterStart > DisplayText::maximumClusterLength)
            return true;
    }
    return false;
}

int HighlightingTextEditor::backspaceStart(int caret) const
{
    // Backspace takes one character of the cluster before the caret, as Qt has it, unless what is
    // left of that cluster would join the cluster after the caret: half a flag pairs with half of
    // the next, and so on to the line's end; the rest of a joined family takes in the next emoji.
    // Then it takes the whole cluster, and -1 leaves the key to Qt. A cut cluster's undrawn rest
    // goes first, as ever.
    const QTextBlock block = document()->findBlock(caret);
    const QString text = block.text();
    const int inBlock = caret - block.position();
    if (inBlock == 0 || text[inBlock - 1] == DocumentMap::placeholder)
        return -1;
    const int removed = inBlock > 1 && text[inBlock - 1].isLowSurrogate() ? 2 : 1;
    // The next few units decide, across a piece break too.
    const QString after = textBetween(caret, std::min(caret + 4, document()->characterCount() - 1));
    const QString edited = QStringView(text).first(inBlock - removed) + after;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, edited);
    graphemes.setPosition(inBlock - removed);
    if (after.isEmpty() || graphemes.isAtBoundary())
        return -1;
    return block.position() + int(graphemes.toPreviousBoundary());
}

void HighlightingTextEditor::restoreMark(int position)
{
    const QTextBlock block = document()->findBlock(position);
    const bool continues = block.position() > 0 && m_map.isBreak(block.position() - 1);
    if (continues == LinePieces::continuesLine(block))
        return;
    const QScopedValueRollback guard(m_makingPieces, true);
    QTextCursor cursor(block);
    // Part of the edit that lost the mark, for undo as well.
    cursor.joinPreviousEditBlock();
    cursor.setBlockFormat(continues ? LinePieces::continuationFormat() : QTextBlockFormat());
    cursor.endEditBlock();
}

void HighlightingTextEditor::recordChange(int position, int removedLength, int addedLength)
{
    if (m_settingText)
        return;
    // A change that reaches the document's closing paragraph mark counts it on both sides.
    const int length = document()->characterCount() - 1;
    const int pastEnd = std::max(0, position + addedLength - length);
    addedLength -= pastEnd;
    removedLength = std::max(0, removedLength - pastEnd);
    if (removedLength == 0 && addedLength == 0)
        return;
    // The marks that came with the change: piece breaks, and placeholders brought back by undo,
    // redo or insertLines().
    std::vector<DocumentMap::Mark> added;
    const int addedEnd = position + addedLength;
    for (QTextBlock block = document()->findBlock(position);
         addedLength > 0 && block.isValid() && block.position() <= addedEnd; block = block.next()) {
        if (block.position() > position && LinePieces::continuesLine(block))
            added.push_back({block.position() - 1, 0});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int hiddenId = DocumentMap::hiddenIdOf(fragment.charFormat());
            if (hiddenId == 0 || fragment.position() + fragment.length() <= position
                || fragment.position() >= addedEnd)
                continue;
            const QString characters = fragment.text();
            for (int i = 0; i < characters.size(); ++i) {
                const int at = fragment.position() + i;
                if (characters[i] == DocumentMap::placeholder && at >= position && at < addedEnd)
                    added.push_back({at, hiddenId});
            }
        }
    }
    const DocumentMap::TextChange change
        = m_map.update(position, removedLength, addedLength, std::move(added));
    // Removing the break after an empty block, Qt keeps the format of the block after it: the
    // block at the change may have taken another block's mark.
    const QTextBlock changed = document()->findBlock(position);
    const bool continues = changed.position() > 0 && m_map.isBreak(changed.position() - 1);
    if (continues != LinePieces::continuesLine(changed))
        m_lostMark = changed.position();
    if (m_makingPieces)
        return;
    // Removing a piece break alone changes only the view, but may leave a long block.
    m_changeViewStart = position;
    m_changeViewEnd = position + addedLength;
    m_viewChangePending = true;
    QString inserted = textBetween(position, position + addedLength);
    if (change.removedLength == 0 && inserted.isEmpty())
        return;
    m_changePending = true;
    m_changePosition = change.position;
    m_changeRemovedLength = change.removedLength;
    m_changeInsertedText = std::move(inserted);
}

void HighlightingTextEditor::finishChange()
{
    // Undo and redo bring back the marks they found.
    if (const int lostMark = std::exchange(m_lostMark, -1);
        lostMark >= 0 && document()->availableRedoSteps() == 0)
        restoreMark(lostMark);
    if (!std::exchange(m_viewChangePending, false))
        return;
    const bool textChanged = std::exchange(m_changePending, false);
    if (textChanged) {
        const QString inserted = std::exchange(m_changeInsertedText, QString());
        Q_EMIT textEdited(m_changePosition, m_changeRemovedLength, inserted);
        endFlash();
    }
    // Undo and redo leave the text as they found it: a bullet undone stays a dash.
    if (document()->availableRedoSteps() == 0 && !isReadOnly()) {
        QTextCursor change(document());
        change.setPosition(m_changeViewStart);
        change.setPosition(m_changeViewEnd, QTextCursor::KeepAnchor);
        cutGrownCluster(change.anchor());
        cutGrownCluster(change.position());
        // Text typed at a piece's start or end can join the cluster across its break.
        if (const QTextBlock first = document()->findBlock(change.selectionStart());
            first.position() == change.selectionStart())
            keepBreakBetweenClusters(first);
        if (const QTextBlock last = document()->findBlock(change.selectionEnd());
            last.position() + last.length() - 1 == change.selectionEnd())
            keepBreakBetweenClusters(last.next());
        showInPieces(change.selectionStart(), change.selectionEnd());
        BulletEditing::autoBulletLine(document(), textCursor().selectionStart());
    }
    // Ctrl+Backspace moves the caret without a cursorPositionChanged().
    reportCaret();
    if (textChanged)
        m_slashPalette->updateQuery();
}

void HighlightingTextEditor::reportCaret()
{
    const int caret = toText(textCursor().selectionStart());
    if (caret == m_editorCaretPosition)
        return;
    m_editorCaretPosition = caret;
    // Mid-edit the caret has moved but the palette's range has not yet: the edit decides.
    if (!m_viewChangePending)
        m_slashPalette->caretMoved(caret);
    Q_EMIT editorCaretPositionChanged(caret);
}

void HighlightingTextEditor::endFlash()
{
    m_flashTimer->stop();
    if (!extraSelections().isEmpty())
        setExtraSelections({});
}
