#pragma once

#include "settings/tokenizer.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QTimer;
class SpeechRecognizer;

// The observable state of one overlay window: the page being read, the page picker, the
// collapse state, the requests that views leave for the controller, and the visibility toast.
// Main thread only.
class OverlayContent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList words READ words WRITE setWords NOTIFY wordsChanged)
    Q_PROPERTY(QSet<int> lineBreaks READ lineBreaks WRITE setLineBreaks NOTIFY lineBreaksChanged)
    Q_PROPERTY(
        int totalCharCount READ totalCharCount WRITE setTotalCharCount NOTIFY totalCharCountChanged)
    Q_PROPERTY(bool hasNextPage READ hasNextPage WRITE setHasNextPage NOTIFY hasNextPageChanged)
    Q_PROPERTY(bool isCollapsed READ isCollapsed WRITE setIsCollapsed NOTIFY isCollapsedChanged)
    Q_PROPERTY(bool isMiniMode READ isMiniMode WRITE setIsMiniMode NOTIFY isMiniModeChanged)
    Q_PROPERTY(int pageCount READ pageCount WRITE setPageCount NOTIFY pageCountChanged)
    Q_PROPERTY(int currentPageIndex READ currentPageIndex WRITE setCurrentPageIndex NOTIFY
                   currentPageIndexChanged)
    Q_PROPERTY(
        QStringList pagePreviews READ pagePreviews WRITE setPagePreviews NOTIFY pagePreviewsChanged)
    Q_PROPERTY(QStringList pageTitles READ pageTitles WRITE setPageTitles NOTIFY pageTitlesChanged)
    Q_PROPERTY(int highlightedPickerIndex READ highlightedPickerIndex WRITE
                   setHighlightedPickerIndex NOTIFY highlightedPickerIndexChanged)
    Q_PROPERTY(bool showPagePicker READ showPagePicker WRITE setShowPagePicker NOTIFY
                   showPagePickerChanged)
    Q_PROPERTY(std::optional<int> jumpToPageIndex READ jumpToPageIndex WRITE setJumpToPageIndex
                   NOTIFY jumpToPageIndexChanged)
    Q_PROPERTY(bool isNotesMode READ isNotesMode WRITE setIsNotesMode NOTIFY isNotesModeChanged)
    Q_PROPERTY(std::optional<int> jumpToPageNotesMode READ jumpToPageNotesMode WRITE
                   setJumpToPageNotesMode NOTIFY jumpToPageNotesModeChanged)
    Q_PROPERTY(double arrowScrollDelta READ arrowScrollDelta WRITE setArrowScrollDelta NOTIFY
                   arrowScrollDeltaChanged)
    Q_PROPERTY(bool showVisibilityToast READ showVisibilityToast NOTIFY showVisibilityToastChanged)
    Q_PROPERTY(bool duplicateAvailable READ duplicateAvailable WRITE setDuplicateAvailable NOTIFY
                   duplicateAvailableChanged)

public:
    explicit OverlayContent(QObject *parent = nullptr);

    // The words of the shown page, as the script tokenizer gives them.
    QStringList words() const { return m_words; }
    void setWords(const QStringList &words);
    // The words' characters, counted once per page for every view that reads it.
    const WordCharOffsets &wordOffsets() const { return m_wordOffsets; }
    // Indices of the words that begin a new line; empty outside notes mode.
    QSet<int> lineBreaks() const { return m_lineBreaks; }
    void setLineBreaks(const QSet<int> &lineBreaks);
    // Characters of the words joined with single spaces.
    int totalCharCount() const { return m_totalCharCount; }
    void setTotalCharCount(int count);
    bool hasNextPage() const { return m_hasNextPage; }
    void setHasNextPage(bool hasNext);

    // Told of every real change of isCollapsed, with the new value; not observable.
    std::function<void(bool)> onCollapseChanged() const { return m_onCollapseChanged; }
    void setOnCollapseChanged(std::function<void(bool)> handler);

    bool isCollapsed() const { return m_isCollapsed; }
    void setIsCollapsed(bool collapsed);
    bool isMiniMode() const { return m_isMiniMode; }
    void setIsMiniMode(bool miniMode);
    int pageCount() const { return m_pageCount; }
    void setPageCount(int count);
    int currentPageIndex() const { return m_currentPageIndex; }
    void setCurrentPageIndex(int index);
    // One short preview per page for the page picker; empty for a blank page.
    QStringList pagePreviews() const { return m_pagePreviews; }
    void setPagePreviews(const QStringList &previews);
    // One title per page; an empty title means the page has none.
    QStringList pageTitles() const { return m_pageTitles; }
    void setPageTitles(const QStringList &titles);
    int highlightedPickerIndex() const { return m_highlightedPickerIndex; }
    void setHighlightedPickerIndex(int index);
    // Opening the picker, also when it is open already, highlights the current page.
    bool showPagePicker() const { return m_showPagePicker; }
    void setShowPagePicker(bool show);
    // One-shot request to show that page outside notes mode; its consumer clears it.
    std::optional<int> jumpToPageIndex() const { return m_jumpToPageIndex; }
    void setJumpToPageIndex(std::optional<int> index);
    // The page came from the document's page list; text from outside advances by itself.
    bool isNotesMode() const { return m_isNotesMode; }
    void setIsNotesMode(bool notesMode);
    // One-shot request to open that page in notes mode; its consumer clears it.
    std::optional<int> jumpToPageNotesMode() const { return m_jumpToPageNotesMode; }
    void setJumpToPageNotesMode(std::optional<int> index);
    // Accumulated arrow-key scroll offset in points; the up arrow adds, the down arrow subtracts.
    double arrowScrollDelta() const { return m_arrowScrollDelta; }
    void setArrowScrollDelta(double delta);
    bool showVisibilityToast() const { return m_showVisibilityToast; }
    bool duplicateAvailable() const { return m_duplicateAvailable; }
    void setDuplicateAvailable(bool available);

    // Shows the visibility toast until 1.3 s after the latest call.
    // Fills the page fields for a newly loaded page, in the order observers rely on (collapsed
    // is cleared before notes mode changes), then announces the load even when the new page
    // equals the old one, so views restart their reading progress on every load.
    void loadPage(const QString &text, bool hasNextPage, bool isNotesMode);
    // The model outlives its sessions: a new one starts without the picker, the mini form or
    // the requests the last one left unanswered.
    void resetSessionState();

    void presentVisibilityToast();
    // The next-page action of a view. A notes-mode reading asks for the document's following
    // page; text from outside raises the follower's flag, which its controller acts on.
    void requestNextPage(SpeechRecognizer &recognizer);
    // Moves the picker highlight by the step; a step past either end leaves it where it is.
    void movePickerHighlight(int step);
    // The current page's title, or the generic one when the page has none.
    QString currentPageTitle() const;

Q_SIGNALS:
    void pageLoaded();
    void wordsChanged();
    void lineBreaksChanged();
    void totalCharCountChanged();
    void hasNextPageChanged();
    void isCollapsedChanged();
    void isMiniModeChanged();
    void pageCountChanged();
    void currentPageIndexChanged();
    void pagePreviewsChanged();
    void pageTitlesChanged();
    void highlightedPickerIndexChanged();
    void showPagePickerChanged();
    void jumpToPageIndexChanged();
    void isNotesModeChanged();
    void jumpToPageNotesModeChanged();
    void arrowScrollDeltaChanged();
    void showVisibilityToastChanged();
    void duplicateAvailableChanged();

private:
    void setShowVisibilityToast(bool show);

    QStringList m_words;
    WordCharOffsets m_wordOffsets;
    QSet<int> m_lineBreaks;
    int m_totalCharCount = 0;
    bool m_hasNextPage = false;
    std::function<void(bool)> m_onCollapseChanged;
    bool m_isCollapsed = false;
    bool m_isMiniMode = false;
    int m_pageCount = 1;
    int m_currentPageIndex = 0;
    QStringList m_pagePreviews;
    QStringList m_pageTitles;
    int m_highlightedPickerIndex = 0;
    bool m_showPagePicker = false;
    std::optional<int> m_jumpToPageIndex;
    bool m_isNotesMode = false;
    std::optional<int> m_jumpToPageNotesMode;
    double m_arrowScrollDelta = 0;
    bool m_showVisibilityToast = false;
    bool m_duplicateAvailable = false;
    // Hides the visibility toast once it runs out.
    QTimer *const m_toastDismissWork;
};
