// The reader's keys: the local key handling of panels that take the keyboard, and the global
// hot keys that work while another application has it.

#include "notchoverlaycontroller.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "overlay/stickyinstance.h"
#include "platform/globalhotkeys.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "speech/speechrecognizer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

void NotchOverlayController::installKeyMonitor()
{
    removeKeyMonitor();
    m_keyMonitorInstalled = true;
}

void NotchOverlayController::removeKeyMonitor()
{
    m_keyMonitorInstalled = false;
    unregisterAllHotKeys();
}

bool NotchOverlayController::eventFilter(QObject *watched, QEvent *event)
{
    // Keys and clicks reach the window first; handling them there sees each one once.
    if (!watched->isWindowType())
        return QObject::eventFilter(watched, event);
    auto *window = static_cast<QWindow *>(watched);
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // Only noted: the click goes on to the window as if nobody had looked.
        focusDuplicate(window);
    } else if (m_keyMonitorInstalled && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (handleLocalKeyDown(key->key(), key->modifiers(), window))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool NotchOverlayController::handleLocalKeyDown(int key, Qt::KeyboardModifiers, QWindow *keyWindow)
{
    OverlayContent &content = *m_overlayContent;
    if (key == Qt::Key_Escape) {
        // Esc in a duplicate closes that window alone.
        if (StickyInstance *duplicate = duplicateWithWindow(keyWindow))
            duplicate->recognizer().setShouldDismiss(true);
        else
            handleEscape();
        return true;
    }
    if (!content.showPagePicker())
        return false;
    switch (key) {
    case Qt::Key_Up:
        content.movePickerHighlight(-1);
        return true;
    case Qt::Key_Down:
        content.movePickerHighlight(1);
        return true;
    case Qt::Key_Right:
        content.setIsCollapsed(false);
        content.setIsMiniMode(false);
        content.setJumpToPageNotesMode(content.highlightedPickerIndex());
        return true;
    default:
        return false;
    }
}

// Esc steps back one level: picker, then expanded panel, then the session.
void NotchOverlayController::handleEscape()
{
    OverlayContent &content = *m_overlayContent;
    const OverlayMode mode = m_settings.overlayMode();
    if (content.showPagePicker() && content.isNotesMode()) {
        dismiss();
    } else if (content.showPagePicker()) {
        content.setShowPagePicker(false);
    } else if (mode == OverlayMode::fullscreen) {
        // The full screen has no collapsed form to step back to: it would stay over everything
        // while the keys go to the program hidden behind it.
        dismiss();
    } else if (content.isNotesMode() && !content.isCollapsed()) {
        // Nor has the cursor panel a page picker.
        if (mode == OverlayMode::cursor)
            dismiss();
        else
            content.setShowPagePicker(true);
    } else if (content.isCollapsed()) {
        dismiss();
    } else {
        m_speechRecognizer->setIsListening(false);
        m_speechRecognizer->tearDownSession();
        content.setIsCollapsed(true);
    }
}

void NotchOverlayController::registerHotKeys()
{
    unregisterAllHotKeys();
    m_hotKeyHandlerInstalled = true;
    m_hotKeys->registerHotKey(arrowLeftHotKey, Qt::Key_Left, Qt::NoModifier);
    m_hotKeys->registerHotKey(arrowRightHotKey, Qt::Key_Right, Qt::NoModifier);
    m_hotKeys->registerHotKey(arrowUpHotKey, Qt::Key_Up, Qt::NoModifier);
    m_hotKeys->registerHotKey(arrowDownHotKey, Qt::Key_Down, Qt::NoModifier);
    m_hotKeys->registerHotKey(escHotKey, Qt::Key_Escape, Qt::NoModifier);
    // Ctrl stands for the command key.
    m_hotKeys->registerHotKey(cmdMHotKey, Qt::Key_M, Qt::ControlModifier);
}

void NotchOverlayController::unregisterArrowHotKeys()
{
    stopArrowRepeat();
    for (int id : {arrowLeftHotKey, arrowRightHotKey, arrowUpHotKey, arrowDownHotKey})
        m_hotKeys->unregisterHotKey(id);
}

void NotchOverlayController::unregisterAllHotKeys()
{
    unregisterArrowHotKeys();
    m_hotKeys->unregisterHotKey(escHotKey);
    m_hotKeys->unregisterHotKey(cmdMHotKey);
    m_hotKeyHandlerInstalled = false;
}

OverlayContent &NotchOverlayController::keyTarget() const
{
    return m_focusedDuplicate ? m_focusedDuplicate->content() : *m_overlayContent;
}

void NotchOverlayController::handleHotKey(int id, bool released)
{
    // A key that was released after its registration went away is no longer ours.
    if (!m_hotKeyHandlerInstalled)
        return;
    switch (id) {
    case cmdMHotKey:
        if (!released)
            handleCmdM(keyTarget());
        break;
    case escHotKey:
        if (!released)
            handleEscHotKey();
        break;
    default:
        handleArrowHotKey(keyTarget(), id, released);
        break;
    }
}

// On a focused duplicate, Esc opens its picker first and closes the window next.
void NotchOverlayController::handleEscHotKey()
{
    StickyInstance *duplicate = m_focusedDuplicate;
    if (!duplicate) {
        handleEscape();
        return;
    }
    OverlayContent &content = duplicate->content();
    if (!content.showPagePicker() && !content.isCollapsed()) {
        content.setShowPagePicker(true);
    } else {
        duplicate->recognizer().setShouldDismiss(true);
        m_focusedDuplicate = nullptr;
    }
}

void NotchOverlayController::handleCmdM(OverlayContent &content)
{
    if (content.isCollapsed() && content.isMiniMode())
        return;
    m_speechRecognizer->setIsListening(false);
    m_speechRecognizer->tearDownSession();
    content.setShowPagePicker(false);
    content.setIsCollapsed(true);
    content.setIsMiniMode(true);
}

double NotchOverlayController::arrowScrollStep() const
{
    return pointSize(m_settings.fontSizePreset()) * 1.4;
}

void NotchOverlayController::handleArrowHotKey(OverlayContent &content, int id, bool released)
{
    if (content.showPagePicker()) {
        if (released)
            return;
        if (id == arrowUpHotKey) {
            content.movePickerHighlight(-1);
        } else if (id == arrowDownHotKey) {
            content.movePickerHighlight(1);
        } else if (id == arrowRightHotKey) {
            content.setIsCollapsed(false);
            content.setIsMiniMode(false);
            content.setJumpToPageNotesMode(content.highlightedPickerIndex());
        }
        return;
    }
    if (id == arrowUpHotKey || id == arrowDownHotKey) {
        if (!m_settings.effectiveArrowScrollsText())
            return;
        if (released) {
            stopArrowRepeat();
            return;
        }
        const double step = id == arrowUpHotKey ? arrowScrollStep() : -arrowScrollStep();
        content.setArrowScrollDelta(content.arrowScrollDelta() + step);
        m_arrowScrollDirection = step;
        m_arrowScrollTarget = &content;
        m_arrowScrollTimer.stop();
        m_arrowScrollTimer.setInterval(arrowRepeatDelayMs);
        m_arrowScrollTimer.start();
        return;
    }
    if (released)
        return;
    if (id == arrowRightHotKey)
        openNeighbourPage(content, 1);
    else if (id == arrowLeftHotKey)
        openNeighbourPage(content, -1);
}

// A duplicate turns its own page; the main window's page is the document's.
void NotchOverlayController::openNeighbourPage(OverlayContent &content, int step)
{
    const int index = content.currentPageIndex() + step;
    if (index < 0 || index >= content.pageCount())
        return;
    if (&content != m_overlayContent)
        content.setJumpToPageNotesMode(index);
    else if (m_service)
        m_service->startReading(index);
}

void NotchOverlayController::stopArrowRepeat()
{
    m_arrowScrollTimer.stop();
}
