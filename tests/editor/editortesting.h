#pragma once

#include "editor/highlightingtexteditor.h"

#include <QObject>
#include <QTest>
#include <QTextCursor>

// Driving the script editor as the user does, and following its reports as the page model does.
namespace EditorTesting {

inline void select(HighlightingTextEditor &editor, int anchor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

inline void undo(HighlightingTextEditor &editor, Qt::KeyboardModifiers extra = {})
{
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | extra);
}

// Keeps `copy` in step with the edits the editor reports, as the page model does.
inline void mirrorEdits(HighlightingTextEditor &editor, QString &copy)
{
    copy = editor.text();
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, &editor,
                     [&copy](int position, int removedLength, const QString &inserted) {
                         copy.replace(position, removedLength, inserted);
                     });
}

} // namespace EditorTesting
