#include "settingsscreencontroller.h"

#include "document/dialogs.h"
#include "document/globalhotkeymanager.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings_screen/notchpreviewcontrolling.h"
#include "settings_screen/settingswindow.h"

#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

SettingsScreenController::SettingsScreenController(NotchSettings &settings,
                                                   std::unique_ptr<NotchPreviewControlling> preview,
                                                   SettingsWindow &window, Dialogs &dialogs,
                                                   GlobalHotkeyManager *hotkeyManager,
                                                   QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_preview(std::move(preview))
    , m_window(window)
    , m_dialogs(dialogs)
    , m_hotkeyManager(hotkeyManager)
{
    connect(&settings, &NotchSettings::overlayModeChanged, this,
            [this] { handleOverlayModeChange(m_settings.overlayMode()); });
    connect(&settings, &NotchSettings::textAreaHeightChanged, this, [this] {
        placeSettingsWindow();
        if (m_preview)
            m_preview->applyMode(m_settings);
    });
    connect(&settings, &NotchSettings::notchWidthChanged, this, [this] {
        if (m_preview)
            m_preview->applyMode(m_settings);
    });
}

SettingsScreenController::~SettingsScreenController()
{
    disappeared();
}

void SettingsScreenController::schedule(int delayMs, std::function<void()> step)
{
    if (scheduler)
        scheduler(delayMs, std::move(step));
    else
        QTimer::singleShot(delayMs, this, std::move(step));
}

void SettingsScreenController::appeared()
{
    if (m_appeared)
        return;
    m_appeared = true;
    showPreview();
}

void SettingsScreenController::disappeared()
{
    if (m_preview)
        m_preview->tearDown();
}

void SettingsScreenController::applicationActiveChanged(bool active)
{
    if (!m_appeared || m_isClosing)
        return;
    if (active)
        showPreviewStep();
    else if (m_preview)
        m_preview->hideAll();
}

void SettingsScreenController::showPreview()
{
    showPreviewStep();
    placeSettingsWindow();
}

void SettingsScreenController::showPreviewStep()
{
    if (!m_preview || m_settings.overlayMode() == OverlayMode::fullscreen)
        return;
    m_preview->show(m_settings, false, false);
    if (m_settings.overlayMode() == OverlayMode::cursor) {
        schedule(cursorFollowDelayMs, [this] {
            // The screen may have closed in between: a closing preview is left alone.
            if (m_preview && !m_isClosing)
                m_preview->startCursorFollow(m_settings);
        });
    }
}

void SettingsScreenController::placeSettingsWindow()
{
    if (m_settings.overlayMode() == OverlayMode::fullscreen)
        return;
    if (const std::optional<ScreenInfo> screen = previewScreen())
        m_window.keepClearOfPreview(*screen, m_settings.textAreaHeight(),
                                    SettingsWindow::Motion::window);
}

std::optional<ScreenInfo> SettingsScreenController::previewScreen() const
{
    return m_preview ? m_preview->screen() : m_window.screen();
}

void SettingsScreenController::handleOverlayModeChange(OverlayMode mode)
{
    if (m_isClosing)
        return;
    if (mode == OverlayMode::fullscreen) {
        if (m_preview)
            m_preview->hideAll();
    } else if (m_preview) {
        m_preview->show(m_settings, false, false);
        m_preview->applyMode(m_settings);
        if (mode == OverlayMode::cursor) {
            m_preview->startCursorFollow(m_settings);
        } else if (m_preview->hasOriginalFrame()) {
            m_preview->stopCursorFollow([this, guard = QPointer(this)] {
                if (guard && m_preview)
                    m_preview->applyMode(m_settings);
            });
        }
    }

    const std::optional<QRect> frame = m_window.frame();
    const std::optional<ScreenInfo> screen = m_window.screen();
    if (!frame || !screen)
        return;
    const QRect &available = screen->availableGeometry;
    if (mode == OverlayMode::floating) {
        const int availableBottom = available.top() + available.height();
        const int top
            = std::max(availableBottom - floatingBottomOffset - frame->height(), available.top());
        m_window.moveTo(QPoint(frame->left(), top), SettingsWindow::Motion::none);
    } else {
        QPoint topLeft = centredTopLeft(*frame, available);
        // Centred, but never under the preview hanging from the top.
        const std::optional<ScreenInfo> preview = previewScreen();
        if (mode == OverlayMode::pinned && preview && preview->name == screen->name) {
            const QRect centred(topLeft, frame->size());
            topLeft.setY(
                SettingsWindow::topClearOfPreview(centred, *screen, m_settings.textAreaHeight())
                    .value_or(topLeft.y()));
        }
        m_window.moveTo(topLeft, SettingsWindow::Motion::none);
    }
}

QPoint SettingsScreenController::centredTopLeft(const QRect &frame, const QRect &availableGeometry)
{
    const int left = availableGeometry.left() + (availableGeometry.width() - frame.width()) / 2;
    const int top = availableGeometry.top() + (availableGeometry.height() - frame.height()) / 2;
    return {std::max(left, availableGeometry.left()), std::max(top, availableGeometry.top())};
}

bool SettingsScreenController::recenterSettingsWindow(double seconds)
{
    const std::optional<QRect> frame = m_window.frame();
    const std::optional<ScreenInfo> screen = m_window.screen();
    if (!frame || !screen)
        return false;
    const QPoint centred = centredTopLeft(*frame, screen->availableGeometry);
    if (centred == frame->topLeft())
        return false;
    m_window.moveTo(centred,
                    seconds > 0 ? SettingsWindow::Motion::recentre : SettingsWindow::Motion::none);
    return true;
}

void SettingsScreenController::closeSettings()
{
    if (m_isClosing)
        return;
    m_isClosing = true;
    if (reduceMotion && reduceMotion()) {
        if (m_preview)
            m_preview->tearDown();
        recenterSettingsWindow(0);
        Q_EMIT done();
        return;
    }
    if (m_preview)
        m_preview->dismiss();
    const bool moved = recenterSettingsWindow(recentreSeconds);
    schedule(moved ? doneAfterRecentreMs : doneWithoutMoveMs, [this] { Q_EMIT done(); });
}

void SettingsScreenController::confirmReset()
{
    if (m_asking || m_isClosing)
        return;
    const QScopedValueRollback asking(m_asking, true);
    const bool reset = m_dialogs.confirmDestructive(
        localizedString("¿Restablecer todos los ajustes?"),
        localizedString("Esto restaurará todos los ajustes a sus valores predeterminados."),
        localizedString("Restablecer"));
    if (reset)
        resetAllSettings();
}

void SettingsScreenController::resetAllSettings()
{
    m_settings.setNotchWidth(340);
    m_settings.setTextAreaHeight(160);
    m_settings.setFontSizePreset(FontSizePreset::sm);
    m_settings.setFontFamilyPreset(FontFamilyPreset::sans);
    m_settings.setHighlightColor(Qt::white);
    m_settings.setCueColor(Qt::white);
    m_settings.setCueBrightness(CueBrightness::medium);
    m_settings.setOverlayMode(OverlayMode::pinned);
    m_settings.setGlassEffect(false);
    m_settings.setGlassOpacity(0.7);
    m_settings.setFullscreenScreenID(0);
    m_settings.setShowElapsedTime(true);
    m_settings.setHideFromScreenShare(true);
    m_settings.setGlobalArrowKeysEnabled(false);
    m_settings.setArrowScrollsText(false);
    m_settings.setGlobalHotkeyKeyCode(0);
    m_settings.setGlobalHotkeyModifiers(0);
    if (m_hotkeyManager)
        m_hotkeyManager->unregister();
}
