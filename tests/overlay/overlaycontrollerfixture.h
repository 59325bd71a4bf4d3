#pragma once

// A reading-session controller over fake screens, hot keys, active window and document
// service, as the controller tests drive it.

#include "common/fakecaptureshield.h"
#include "common/overlayfakes.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/stickyinstance.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace OverlayTest {

using Id = NotchOverlayController::HotKeyId;

// Two displays side by side; the first has a 30 px top bar.
ScreenInfo screen(const QString &name, QRect geometry, int topBar)
{
    return {name, geometry, geometry.adjusted(0, topBar, 0, 0),
            Screens::displayNumberForName(name)};
}

struct Fixture
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield{true};
    NotchSettings settings{store, shield, u"es"_qs};
    FakeScreens screens;
    FakeActiveWindow activeWindow;
    FakeGlobalHotKeys *hotKeys = new FakeGlobalHotKeys;
    FakeDocumentService service;
    NotchOverlayController controller{settings, screens, activeWindow, shield,
                                      std::unique_ptr<GlobalHotKeys>(hotKeys)};
    int completions = 0;

    Fixture()
    {
        screens.m_screens = {screen(u"left"_qs, {0, 0, 1280, 800}, 30),
                             screen(u"right"_qs, {1280, 0, 1920, 1080}, 0)};
        screens.m_cursor = {400, 400};
        service.m_pages = {u"uno"_qs, u"dos"_qs, u"tres"_qs};
        controller.setDocumentService(&service);
        activeWindow.m_current = 77;
    }

    void open(const QString &text = u"Hola a todos\nsegunda línea"_qs, bool notesMode = true)
    {
        controller.show(text, true, notesMode, [this] { ++completions; });
        controller.overlayContent().setPageCount(3);
        if (notesMode)
            controller.registerHotKeys();
    }

    void openFloating()
    {
        settings.setOverlayMode(OverlayMode::floating);
        open();
    }

    // Opens a duplicate of the window as the reader does, with its duplicate button; none
    // when the window does not offer the button.
    StickyInstance *duplicate(OverlayPanel *window)
    {
        QAbstractButton *button = duplicateButton(window);
        if (!button || button->isHidden())
            return nullptr;
        const qsizetype before = controller.stickyDuplicates().size();
        button->click();
        if (controller.stickyDuplicates().size() != before + 1)
            return nullptr;
        return controller.stickyDuplicates().last();
    }

    static QAbstractButton *duplicateButton(OverlayPanel *window)
    {
        return window->findChild<QAbstractButton *>(u"duplicateButton"_qs);
    }

    // Lets queued hot-key signals and zero timers run.
    static void settle() { QCoreApplication::processEvents(); }

    void pressHotKey(int id)
    {
        hotKeys->press(id);
        hotKeys->release(id);
        settle();
    }
};

} // namespace OverlayTest

using namespace OverlayTest;
