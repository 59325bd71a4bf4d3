#pragma once

#include "common/overlayfakes.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/activewindow.h"
#include "platform/captureshield.h"
#include "platform/globalhotkeys.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <QStringList>

namespace TestSupport {

// A reading session on the real platform's screens, windows and keys, over settings of its own
// (a 340 point notch width, a 160 point text area) and a document of the given pages.
struct ReadingSession
{
    ReadingSession(OverlayMode mode, const QStringList &pages)
    {
        settings.setOverlayMode(mode);
        settings.setNotchWidth(340);
        settings.setTextAreaHeight(160);
        service.m_pages = pages;
        controller.setDocumentService(&service);
    }

    // A notes-mode reading of the first page as the document service opens it, with its
    // global keys.
    void open()
    {
        controller.show(service.m_pages.first(), true, true, [this] { ++completions; });
        controller.overlayContent().setPageCount(int(service.m_pages.size()));
        controller.registerHotKeys();
    }

    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), QStringLiteral("es")};
    FakeDocumentService service;
    NotchOverlayController controller{settings, Screens::system(), ActiveWindow::system(),
                                      CaptureShield::system(), GlobalHotKeys::create()};
    int completions = 0;
};

} // namespace TestSupport
