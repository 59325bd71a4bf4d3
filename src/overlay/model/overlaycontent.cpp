#include "overlaycontent.h"

#include "platform/observable.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "settings/tokenizer.h"
#include "speech/speechrecognizer.h"

#include <QTimer>

#include <utility>

namespace {

constexpr int visibilityToastDurationMs = 1300;

} // namespace

OverlayContent::OverlayContent(QObject *parent)
    : QObject(parent)
    , m_toastDismissWork(new QTimer(this))
{
    m_toastDismissWork->setSingleShot(true);
    m_toastDismissWork->setInterval(visibilityToastDurationMs);
    connect(m_toastDismissWork, &QTimer::timeout, this, [this] { setShowVisibilityToast(false); });
}

void OverlayContent::setWords(const QStringList &words)
{
    if (!Observable::assign(m_words, words))
        return;
    m_wordOffsets = WordCharOffsets(m_words);
    Q_EMIT wordsChanged();
}

void OverlayContent::setLineBreaks(const QSet<int> &lineBreaks)
{
    if (Observable::assign(m_lineBreaks, lineBreaks))
        Q_EMIT lineBreaksChanged();
}

void OverlayContent::setTotalCharCount(int count)
{
    if (Observable::assign(m_totalCharCount, count))
        Q_EMIT totalCharCountChanged();
}

void OverlayContent::setHasNextPage(bool hasNext)
{
    if (Observable::assign(m_hasNextPage, hasNext))
        Q_EMIT hasNextPageChanged();
}

void OverlayContent::setOnCollapseChanged(std::function<void(bool)> handler)
{
    m_onCollapseChanged = std::move(handler);
}

// The hooks run before observers hear of the change, so they see the state the hook leaves.
void OverlayContent::setIsCollapsed(bool collapsed)
{
    if (!Observable::assign(m_isCollapsed, collapsed))
        return;
    if (m_onCollapseChanged)
        m_onCollapseChanged(collapsed);
    Q_EMIT isCollapsedChanged();
}

void OverlayContent::setIsMiniMode(bool miniMode)
{
    if (Observable::assign(m_isMiniMode, miniMode))
        Q_EMIT isMiniModeChanged();
}

void OverlayContent::setPageCount(int count)
{
    if (Observable::assign(m_pageCount, count))
        Q_EMIT pageCountChanged();
}

void OverlayContent::setCurrentPageIndex(int index)
{
    if (Observable::assign(m_currentPageIndex, index))
        Q_EMIT currentPageIndexChanged();
}

void OverlayContent::setPagePreviews(const QStringList &previews)
{
    if (Observable::assign(m_pagePreviews, previews))
        Q_EMIT pagePreviewsChanged();
}

void OverlayContent::setPageTitles(const QStringList &titles)
{
    if (Observable::assign(m_pageTitles, titles))
        Q_EMIT pageTitlesChanged();
}

void OverlayContent::setHighlightedPickerIndex(int index)
{
    if (Observable::assign(m_highlightedPickerIndex, index))
        Q_EMIT highlightedPickerIndexChanged();
}

void OverlayContent::setShowPagePicker(bool show)
{
    const bool changed = Observable::assign(m_showPagePicker, show);
    if (show)
        setHighlightedPickerIndex(m_currentPageIndex);
    if (changed)
        Q_EMIT showPagePickerChanged();
}

void OverlayContent::setJumpToPageIndex(std::optional<int> index)
{
    if (Observable::assign(m_jumpToPageIndex, index))
        Q_EMIT jumpToPageIndexChanged();
}

void OverlayContent::setIsNotesMode(bool notesMode)
{
    if (Observable::assign(m_isNotesMode, notesMode))
        Q_EMIT isNotesModeChanged();
}

void OverlayContent::setJumpToPageNotesMode(std::optional<int> index)
{
    if (Observable::assign(m_jumpToPageNotesMode, index))
        Q_EMIT jumpToPageNotesModeChanged();
}

void OverlayContent::setArrowScrollDelta(double delta)
{
    if (Observable::assign(m_arrowScrollDelta, delta))
        Q_EMIT arrowScrollDeltaChanged();
}

void OverlayContent::setShowVisibilityToast(bool show)
{
    if (Observable::assign(m_showVisibilityToast, show))
        Q_EMIT showVisibilityToastChanged();
}

void OverlayContent::setDuplicateAvailable(bool available)
{
    if (Observable::assign(m_duplicateAvailable, available))
        Q_EMIT duplicateAvailableChanged();
}

void OverlayContent::loadPage(const QString &text, bool hasNextPage, bool isNotesMode)
{
    const TokenizedScript script = tokenizeScript(text);
    setWords(script.words);
    // Text from outside scrolls as one flow; only notes keep their lines.
    setLineBreaks(isNotesMode ? script.lineBreaks : QSet<int>());
    setTotalCharCount(m_wordOffsets.totalCharCount());
    setHasNextPage(hasNextPage);
    setIsCollapsed(false);
    setIsNotesMode(isNotesMode);
    setArrowScrollDelta(0);
    Q_EMIT pageLoaded();
}

void OverlayContent::resetSessionState()
{
    setShowPagePicker(false);
    setIsMiniMode(false);
    setJumpToPageIndex(std::nullopt);
    setJumpToPageNotesMode(std::nullopt);
}

void OverlayContent::presentVisibilityToast()
{
    setShowVisibilityToast(true);
    // Restarting drops the pending hide, so the latest call gets the full time.
    m_toastDismissWork->start();
}

void OverlayContent::requestNextPage(SpeechRecognizer &recognizer)
{
    if (!m_isNotesMode) {
        recognizer.setShouldAdvancePage(true);
        return;
    }
    const int next = m_currentPageIndex + 1;
    if (next < m_pageCount)
        setJumpToPageNotesMode(next);
}

void OverlayContent::movePickerHighlight(int step)
{
    const int target = m_highlightedPickerIndex + step;
    if (target >= 0 && target < m_pageCount)
        setHighlightedPickerIndex(target);
}

QString OverlayContent::currentPageTitle() const
{
    if (m_currentPageIndex >= 0 && m_currentPageIndex < m_pageTitles.size()) {
        const QString title = DisplayText::title(m_pageTitles.at(m_currentPageIndex));
        if (!title.isEmpty())
            return title;
    }
    return localizedString("Notas");
}
