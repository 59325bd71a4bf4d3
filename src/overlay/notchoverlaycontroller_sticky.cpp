// Sticky duplicates: further floating windows of a notes-mode reading, each on a page of the
// reader's choice, up to four windows in all. Each has its own model, follower and poll; the
// document's current page stays with the main window.

#include "notchoverlaycontroller.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "speech/speechrecognizer.h"

#include <QWindow>

#include <algorithm>
#include <utility>

int NotchOverlayController::windowCount() const
{
    return (m_panel ? 1 : 0) + int(m_stickyDuplicates.size());
}

bool NotchOverlayController::canDuplicate() const
{
    return m_settings.overlayMode() == OverlayMode::floating && m_panel
           && m_overlayContent->isNotesMode() && windowCount() < maximumWindowCount;
}

void NotchOverlayController::updateDuplicateAvailability()
{
    const bool available = canDuplicate();
    m_overlayContent->setDuplicateAvailable(available);
    for (StickyInstance *duplicate : std::as_const(m_stickyDuplicates))
        duplicate->content().setDuplicateAvailable(available);
}

void NotchOverlayController::duplicateWindow(OverlayContent &source)
{
    if (!canDuplicate())
        return;
    auto *content = new OverlayContent;
    content->setIsNotesMode(true);
    if (m_service)
        m_service->updateOverlayPageTitles(*content);

    OverlayPanel *sourcePanel = nullptr;
    if (&source == m_overlayContent) {
        sourcePanel = m_panel;
    } else {
        const auto found = std::find_if(m_stickyDuplicates.cbegin(), m_stickyDuplicates.cend(),
                                        [&source](const StickyInstance *duplicate) {
                                            return &duplicate->content() == &source;
                                        });
        if (found != m_stickyDuplicates.cend())
            sourcePanel = (*found)->panel();
    }

    QPoint topLeft;
    std::optional<ScreenInfo> screen;
    if (sourcePanel) {
        topLeft = sourcePanel->geometry().topLeft() + QPoint(duplicateOffset, duplicateOffset);
        screen = Screens::screenOfFrame(m_screens.screens(), sourcePanel->geometry());
        if (!screen)
            screen = m_screens.mainScreen();
    } else if ((screen = m_screens.mainScreen())) {
        // Near the main display's bottom-left corner.
        topLeft = {screen->geometry.left() + 200,
                   screen->geometry.top() + screen->geometry.height() - 200
                       - storedPanelSize(screen->availableGeometry).height()};
    }
    // The size of a fresh window, whatever the source was resized to.
    const QRect visible = screen ? screen->availableGeometry : QRect();
    const QSize size = storedPanelSize(visible);
    if (screen)
        topLeft = placedWithin(topLeft, size, visible);

    auto *recognizer = new SpeechRecognizer;
    OverlayPanel *panel = makeFloatingPanel(*content, *recognizer, visible);
    panel->setGeometry(QRect(topLeft, size));
    auto *duplicate = new StickyInstance(panel, content, recognizer, this);
    panel->orderFront();
    loadStickyPage(source.currentPageIndex(), *duplicate);
    // It opens on its page list, its page highlighted, for the reader to choose another.
    content->setShowPagePicker(true);
    m_focusedDuplicate = duplicate;
    duplicate->startPoll(std::chrono::milliseconds(pollIntervalMs),
                         [this, weak = QPointer<StickyInstance>(duplicate)] {
                             if (weak)
                                 pollStickyDuplicate(*weak);
                         });
    m_stickyDuplicates.append(duplicate);
    updateDuplicateAvailability();
}

// Loading a page always reads it as notes: a duplicate's poll serves only notes-mode
// requests, so a window left outside notes mode would ignore its next-page button.
void NotchOverlayController::loadStickyPage(int index, StickyInstance &duplicate)
{
    if (!m_service)
        return;
    const QStringList pages = m_service->pages();
    if (index < 0 || index >= pages.size())
        return;
    OverlayContent &content = duplicate.content();
    // Through the page load, so the view starts the page over even when it is the same one.
    content.loadPage(pages.at(index).trimmed(), m_service->hasNonBlankPage(index), true);
    content.setCurrentPageIndex(index);
    content.setIsMiniMode(false);
    content.setShowPagePicker(false);
}

void NotchOverlayController::pollStickyDuplicate(StickyInstance &duplicate)
{
    OverlayContent &content = duplicate.content();
    if (const std::optional<int> index = content.jumpToPageNotesMode()) {
        content.setJumpToPageNotesMode(std::nullopt);
        loadStickyPage(*index, duplicate);
    }
    if (duplicate.recognizer().shouldDismiss()) {
        duplicate.recognizer().setShouldDismiss(false);
        closeStickyDuplicate(duplicate);
    }
}

void NotchOverlayController::closeStickyDuplicate(StickyInstance &duplicate)
{
    if (!duplicate.isOpen())
        return;
    duplicate.cancelPoll();
    if (m_focusedDuplicate == &duplicate)
        m_focusedDuplicate = nullptr;
    // Still listed and counted while its view fades out.
    QTimer::singleShot(duplicateCloseDelayMs, &duplicate, [this, &duplicate] {
        if (duplicate.panel())
            duplicate.panel()->hide();
        m_stickyDuplicates.removeIf(
            [id = duplicate.id()](const StickyInstance *entry) { return entry->id() == id; });
        duplicate.deleteLater();
        updateDuplicateAvailability();
    });
}

void NotchOverlayController::closeAllStickyDuplicates()
{
    for (StickyInstance *duplicate : std::exchange(m_stickyDuplicates, {})) {
        duplicate->cancelPoll();
        if (duplicate->panel())
            duplicate->panel()->hide();
        duplicate->deleteLater();
    }
    m_focusedDuplicate = nullptr;
    updateDuplicateAvailability();
}

bool NotchOverlayController::promoteStickyDuplicate()
{
    if (m_settings.overlayMode() != OverlayMode::floating)
        return false;
    // A duplicate that is already fading out cannot carry the session on.
    const auto open
        = std::find_if(m_stickyDuplicates.cbegin(), m_stickyDuplicates.cend(),
                       [](const StickyInstance *duplicate) { return duplicate->isOpen(); });
    if (open == m_stickyDuplicates.cend())
        return false;
    StickyInstance *duplicate = *open;

    if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
    }
    m_speechRecognizer->setShouldDismiss(false);
    stopArrowRepeat();

    duplicate->cancelPoll();
    m_stickyDuplicates.removeIf(
        [id = duplicate->id()](const StickyInstance *entry) { return entry->id() == id; });
    if (m_focusedDuplicate == duplicate)
        m_focusedDuplicate = nullptr;

    // The duplicate's window, model and follower become the main ones; the main poll, keys
    // and collapse handling serve them from now on. The old ones go after the old view.
    duplicate->content().setOnCollapseChanged(m_overlayContent->onCollapseChanged());
    m_overlayContent->deleteLater();
    m_speechRecognizer->deleteLater();
    m_panel = duplicate->panel();
    m_overlayContent = &duplicate->content();
    m_speechRecognizer = &duplicate->recognizer();
    duplicate->handOver(this);
    duplicate->deleteLater();

    if (m_service) {
        m_service->setCurrentPageIndex(m_overlayContent->currentPageIndex());
        m_service->updatePageIndicator();
    }
    m_isDismissing = false;
    updateDuplicateAvailability();
    return true;
}

StickyInstance *NotchOverlayController::duplicateWithWindow(const QWindow *window) const
{
    if (!window)
        return nullptr;
    for (StickyInstance *duplicate : m_stickyDuplicates) {
        if (duplicate->panel() && duplicate->panel()->windowHandle() == window)
            return duplicate;
    }
    return nullptr;
}

void NotchOverlayController::focusDuplicate(QWindow *window)
{
    if (StickyInstance *duplicate = duplicateWithWindow(window)) {
        // A window on its way out no longer takes the keys.
        if (duplicate->isOpen())
            m_focusedDuplicate = duplicate;
    } else if (window && m_panel && m_panel->windowHandle() == window) {
        m_focusedDuplicate = nullptr;
    }
}
