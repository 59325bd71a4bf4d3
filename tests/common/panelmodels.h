#pragma once

#include "common/fakecaptureshield.h"
#include "overlay/model/overlaycontent.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QWidget>

namespace TestSupport {

// The models a panel's view reads and writes, in Spanish.
struct PanelModels
{
    explicit PanelModels(bool captureSupported = true)
        : shield(captureSupported)
        , settings(store, shield, QStringLiteral("es"))
    {}

    // Page `current` of `pageCount` in notes mode, four words long.
    void loadNotes(int pageCount, int current)
    {
        content.setPageCount(pageCount);
        content.setCurrentPageIndex(current);
        content.loadPage(QStringLiteral("uno dos tres cuatro"), current + 1 < pageCount, true);
    }

    InMemoryKeyValueStore store;
    FakeCaptureShield shield;
    NotchSettings settings;
    OverlayContent content;
    SpeechRecognizer recognizer;
};

// The named control below `parent`; a test that names a missing one stops at once.
template <typename T = QWidget>
T *namedControl(const QWidget &parent, const QString &name)
{
    T *widget = parent.findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

} // namespace TestSupport
