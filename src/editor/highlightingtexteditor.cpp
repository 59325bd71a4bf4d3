#include "highlightingtexteditor.h"

#include "editor/cuehighlighter.h"
#include "settings/palette.h"
#include "uikit/overlayscroller.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString bullet = u"\u2022 "_qs;

int leadingSpaces(QStringView text)
{
    int count = 0;
    while (count < text.size() && text[count] == u' ')
        ++count;
    return count;
}

// The text from the start of the caret's line up to the caret.
QString lineBeforeCaret(const QTextCursor &cursor)
{
    return cursor.block().text().left(cursor.position() - cursor.block().position());
}

// The characters between two positions, with block boundaries as "\n".
QString textBetween(QTextDocument *document, int from, int to)
{
    QTextCursor range(document);
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    QString text = range.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

// "- " or "* " typed at the start of a line becomes a bullet.
void autoBulletLine(QTextDocument *document, int caret)
{
    const QTextBlock block = document->findBlock(caret);
    if (caret < 2 || caret - block.position() != 2)
        return;
    const QString text = block.text();
    if (!text.startsWith(u"- ") && !text.startsWith(u"* "))
        return;
    // The bullet goes in before the typed pair is removed: typing that follows then cannot
    // merge into this step, so undo takes it back on its own.
    QTextCursor edit(block);
    edit.beginEditBlock();
    edit.insertText(bullet);
    edit.setPosition(block.position() + 2 * int(bullet.size()), QTextCursor::KeepAnchor);
    edit.removeSelectedText();
    edit.endEditBlock();
}

// Return. With a selection, Return is an ordinary edit of the selection.
bool continueBulletOnNewline(QTextCursor &cursor)
{
    if (cursor.hasSelection())
        return false;
    const QString before = lineBeforeCaret(cursor);
    const int spaces = leadingSpaces(before);
    if (!QStringView(before).mid(spaces).startsWith(bullet))
        return false;
    cursor.beginEditBlock();
    if (before.size() == spaces + bullet.size()) {
        // An empty bullet ends the list: it goes, and no new line comes.
        cursor.setPosition(cursor.block().position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        cursor.insertText(u'\n' + before.left(spaces) + bullet);
    }
    cursor.endEditBlock();
    return true;
}

// Backspace right after a line's bullet removes the bullet and keeps its indentation. With a
// selection, Backspace is an ordinary edit of the selection.
bool deleteBulletPrefix(QTextCursor &cursor)
{
    if (cursor.hasSelection() || cursor.position() < 2)
        return false;
    const QString before = lineBeforeCaret(cursor);
    const int spaces = leadingSpaces(before);
    if (before.size() != spaces + bullet.size()
        || !QStringView(before).mid(spaces).startsWith(bullet))
        return false;
    cursor.beginEditBlock();
    cursor.setPosition(cursor.position() - int(bullet.size()), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    return true;
}

// Tab and Shift+Tab move the bullet of the selection's first line by two spaces.
bool indentBulletLine(QTextDocument *document, int selectionStart, bool inward)
{
    const QTextBlock block = document->findBlock(selectionStart);
    const QString text = block.text();
    const int spaces = leadingSpaces(text);
    if (!QStringView(text).mid(spaces).startsWith(bullet) || (!inward && spaces < 2))
        return false;
    QTextCursor edit(block);
    edit.beginEditBlock();
    if (inward) {
        edit.insertText(u"  "_qs);
    } else {
        edit.setPosition(block.position() + 2, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.endEditBlock();
    return true;
}

} // namespace

HighlightingTextEditor::HighlightingTextEditor(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_flashTimer(new QTimer(this))
{
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
    document()->setDocumentMargin(0);
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
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void HighlightingTextEditor::setText(const QString &text)
{
    // Lengths first: comparing the texts takes a copy of the whole page.
    if (text.size() == document()->characterCount() - 1 && text == this->text())
        return;
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    {
        const QScopedValueRollback guard(m_settingText, true);
        setPlainText(text);
    }
    endFlash();
    const int length = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::min(anchor, length));
    cursor.setPosition(std::min(position, length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    if (const QString stored = this->text(); stored != text)
        Q_EMIT textEdited(0, int(text.size()), stored);
}

void HighlightingTextEditor::setCaretPosition(int position)
{
    if (position < 0 || position > document()->characterCount() - 1)
        return;
    QTextCursor cursor(document());
    cursor.setPosition(position);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void HighlightingTextEditor::bumpHighlight(int position, int length)
{
    if (position < 0 || length < 1 || position + length > document()->characterCount() - 1)
        return;
    QTextEdit::ExtraSelection flash;
    flash.cursor = QTextCursor(document());
    flash.cursor.setPosition(position);
    flash.cursor.setPosition(position + length, QTextCursor::KeepAnchor);
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
    Q_EMIT slashMenuRequested(textCursor().selectionStart());
}

void HighlightingTextEditor::keyPressEvent(QKeyEvent *event)
{
    // The command palette, once open, takes its keys before the bullet commands do.
    if (handleBulletKey(*event)) {
        event->accept();
        return;
    }
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+Return would put a line separator inside the line; a page knows only "\n".
        QKeyEvent plainReturn(QEvent::KeyPress, event->key(),
                              event->modifiers() & ~Qt::ShiftModifier, event->text(),
                              event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plainReturn);
        event->setAccepted(plainReturn.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool HighlightingTextEditor::handleBulletKey(const QKeyEvent &event)
{
    // Shift leaves Return and Backspace what they are; Ctrl or Alt make them other commands.
    if (isReadOnly() || (event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
        return false;
    QTextCursor cursor = textCursor();
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!continueBulletOnNewline(cursor))
            return false;
        break;
    case Qt::Key_Backspace:
        if (!deleteBulletPrefix(cursor))
            return false;
        break;
    case Qt::Key_Tab:
        return !(event.modifiers() & Qt::ShiftModifier)
               && indentBulletLine(document(), cursor.selectionStart(), true);
    case Qt::Key_Backtab:
        return indentBulletLine(document(), cursor.selectionStart(), false);
    default:
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
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
    m_changePending = true;
    m_changePosition = position;
    m_changeRemovedLength = removedLength;
    m_changeInsertedText = textBetween(document(), position, position + addedLength);
}

void HighlightingTextEditor::finishChange()
{
    if (!m_changePending)
        return;
    m_changePending = false;
    const QString inserted = std::exchange(m_changeInsertedText, QString());
    Q_EMIT textEdited(m_changePosition, m_changeRemovedLength, inserted);
    endFlash();
    // Undo and redo leave the text as they found it: a bullet undone stays a dash.
    if (document()->availableRedoSteps() == 0 && !isReadOnly())
        autoBulletLine(document(), textCursor().selectionStart());
}

void HighlightingTextEditor::reportCaret()
{
    const int caret = textCursor().selectionStart();
    if (caret == m_editorCaretPosition)
        return;
    m_editorCaretPosition = caret;
    Q_EMIT editorCaretPositionChanged(caret);
}

void HighlightingTextEditor::endFlash()
{
    m_flashTimer->stop();
    if (!extraSelections().isEmpty())
        setExtraSelections({});
}
