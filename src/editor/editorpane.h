#pragma once

#include <QString>
#include <QWidget>

class BrivelService;
class EditorController;
class AnimatedValue;
class HighlightingTextEditor;
class QAbstractButton;
class QLabel;

// The lower part of the editor window: the current page in the script editor, the "/" and play
// buttons at the lower right, and the "Copiado" confirmation. The editor's edits are applied to
// a copy of the page held here, so a keystroke never reads the whole text back from the editor.
class EditorPane : public QWidget
{
    Q_OBJECT

public:
    EditorPane(EditorController &controller, BrivelService &service, QWidget *parent = nullptr);

    HighlightingTextEditor *editor() const { return m_editor; }
    QAbstractButton *slashButton() const { return m_slashButton; }
    QAbstractButton *playButton() const { return m_playButton; }
    QLabel *copiedToast() const { return m_copiedToast; }
    QWidget *dropHighlight() const { return m_dropHighlight; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyEdit(int position, int removedLength, const QString &insertedText);
    void reloadPage();
    void refreshButtons();
    // The script editor holds the keyboard focus exactly while the window root asks for it.
    void applyTextFocus();
    void placeOverlays();
    void presentCopiedToast();
    void placeCopiedToast();
    // Drags of local files anywhere over the pane, the editor included, belong to the import;
    // true when the event was one of them.
    bool handleFileDrag(QEvent *event);

    EditorController &m_controller;
    BrivelService &m_service;
    HighlightingTextEditor *m_editor = nullptr;
    QAbstractButton *m_slashButton = nullptr;
    QAbstractButton *m_playButton = nullptr;
    QLabel *m_copiedToast = nullptr;
    QWidget *m_dropHighlight = nullptr;
    AnimatedValue *m_toastPresence = nullptr;
    QWidget *m_edgeFade = nullptr;
    // The current page as the editor shows it.
    QString m_text;
    bool m_storing = false;
};
