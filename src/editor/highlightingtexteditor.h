#pragma once

#include "editor/documentmap.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>

#include <optional>
#include <utility>

class QTextBlock;
class QTimer;
class SlashCommandPalette;

// The script editor: one page of plain text with its cue markers, separator lines and leading
// bullets styled, and bullet lists kept up as the user types ("- " or "* " at a line start
// becomes a bullet; Return, Backspace, Tab and Shift+Tab continue, remove and indent bullets).
// Every change the editor makes itself is one undo step.
//
// Every offset taken or reported is a UTF-16 offset into text(), whose line breaks are "\n".
// The work per keystroke does not depend on the length of the page: only the edited lines are
// restyled, and edits are reported as replacements rather than as the whole text. A very long
// line is shown in pieces (LinePieces): document() holds the breaks between them, while text(),
// the clipboard and every offset leave them out. A grapheme cluster too long to lay out shows
// only its start; one invisible placeholder in document() stands for the rest, which text(), the
// clipboard, offsets and edit reports keep (DocumentMap), whether the cluster was loaded so long
// or edits made it so. Backspace after such a cluster first removes that undrawn rest. The caret
// and the ends of a selection stay on the text's grapheme cluster boundaries, wherever the mouse
// or a key puts them, and so do the breaks between pieces.
class HighlightingTextEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int flashDurationMs = 600;

    explicit HighlightingTextEditor(QWidget *parent = nullptr);
    ~HighlightingTextEditor() override;

    // The whole text; a copy, so it costs as much as the page is long.
    QString text() const;
    // Replaces the text from outside, unless it is already the same. This is not an edit: the
    // undo history starts afresh, textEdited() is not emitted and the selection stays where it
    // was, moved back inside a shorter text. A text whose line breaks the editor stores
    // differently ("\r\n", "\r", U+2029) is the one exception: it is reported through
    // textEdited() as a whole replacement, so the caller's copy matches text() again.
    // Checking for "the same" copies the page when the lengths agree: a caller that follows
    // textEdited() should not hand every edit back.
    void setText(const QString &text);

    // The start of the selection, kept current as the caret moves.
    int editorCaretPosition() const { return m_editorCaretPosition; }
    // Puts the caret at the offset and scrolls it into view; an offset past the end is ignored.
    void setCaretPosition(int position);
    // Flashes the range with an accent background for flashDurationMs, counted from the last
    // request; any edit ends it sooner. An empty range or one reaching past the end is ignored.
    void bumpHighlight(int position, int length);
    // The pane's "/" button: gives the text the keyboard focus and asks for the command palette
    // at the start of the selection, which stays as it is.
    void presentSlashMenu();
    // The "/" command palette, which takes its keys before the editor does.
    SlashCommandPalette *slashPalette() const { return m_slashPalette; }

    int textLength() const;
    // The text between two offsets, without copying the rest of the page.
    QString textRange(int from, int to) const;
    // Replaces a range as one edit of the editor's own: one undo step, reported through
    // textEdited(), the caret after the new text. False, changing nothing, when the editor is
    // read-only or the range is not inside the text.
    bool replaceText(int position, int length, const QString &text);
    // The caret's rectangle at an offset, in the viewport's coordinates.
    QRect caretRect(int position) const;

Q_SIGNALS:
    // Every change of the text other than setText(): the user's edits, the editor's own, undo
    // and redo. The caller's copy of the text becomes text() again by replacing `removedLength`
    // units at `position` with `insertedText`; the signals arrive in the order of the changes.
    void textEdited(int position, int removedLength, const QString &insertedText);
    void editorCaretPositionChanged(int position);
    // The command palette should open at `position` (presentSlashMenu()).
    void slashMenuRequested(int position);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void stepOverPieceBreak(const QKeyEvent &event);
    bool editAsOneStep(const QKeyEvent &event);
    bool handleBulletKey(const QKeyEvent &event);
    bool deleteToWordStop(const QKeyEvent &event);
    void keepCaretOnClusters(int caretBefore);
    enum class ClusterSide { Before, After, Nearer };
    // Positions from the pointer, at `point` in the viewport.
    void keepSelectionOnClusters(QPointF point);
    void pasteAt(QPointF point);
    // The grapheme cluster of the document that holds the position inside it, or the position
    // twice where it is a boundary (every end of a block, and anywhere there is no cluster).
    std::pair<int, int> clusterAround(int viewPosition) const;
    // The position itself when it is a boundary; else the boundary of its cluster on that side,
    // or the one nearer to x.
    int clusterBoundary(int viewPosition, ClusterSide side, qreal x) const;
    // The same for the position Qt's hit test found at `point`, by the cluster drawn there.
    int pointerBoundary(int hit, ClusterSide side, QPointF point) const;
    // Offsets in text() and positions in the document, which also holds the breaks between the
    // pieces of long lines (see LinePieces).
    int toText(int viewPosition) const;
    int toView(int textPosition) const;
    QString textBetween(int from, int to) const;
    void showInPieces(int from, int to);
    void keepBreakBetweenClusters(const QTextBlock &piece);
    void cutGrownCluster(int joint);
    bool growsLongCluster(int from, int to, QStringView inserted) const;
    int backspaceStart(int caret) const;
    void restoreMark(int position);
    void recordChange(int position, int removedLength, int addedLength);
    void finishChange();
    void reportCaret();
    void endFlash();

    QTimer *const m_flashTimer;
    SlashCommandPalette *const m_slashPalette;
    int m_editorCaretPosition = 0;
    DocumentMap m_map;
    bool m_settingText = false;
    bool m_makingPieces = false;
    bool m_viewChangePending = false;
    bool m_changePending = false;
    int m_changePosition = 0;
    int m_changeRemovedLength = 0;
    QString m_changeInsertedText;
    int m_changeViewStart = 0;
    int m_changeViewEnd = 0;
    // A block whose mark as a piece no longer matches m_map, or -1.
    int m_lostMark = -1;
    // Where text being dropped or pasted with the middle button goes, while it is: a cursor, so
    // that the place stays when Qt first removes the text that a drag moves.
    std::optional<QTextCursor> m_pasteAt;
};
