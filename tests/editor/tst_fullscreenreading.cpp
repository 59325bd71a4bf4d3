#include "common/appfakes.h"
#include "common/overlayfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/model/editorcontroller.h"
#include "overlay/externaldisplayview.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/overlaypanel.h"
#include "overlay/speechscrollview.h"

#include <QTest>

using namespace Qt::StringLiterals;

// A reading started from the editor in the fullscreen mode, with the real overlay controller
// and its fullscreen view, which draws no page picker.
class TestFullscreenReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysActOnTheTextOnScreen();
};

void TestFullscreenReading::keysActOnTheTextOnScreen()
{
    using Id = NotchOverlayController::HotKeyId;
    InMemoryKeyValueStore store;
    store.setValue(u"hasCompletedOnboarding"_s, true);
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, u"es"_s};
    settings.setOverlayMode(OverlayMode::fullscreen);
    FakeScreens screens;
    const QRect display(0, 0, 1280, 800);
    screens.m_screens = {{u"main"_s, display, display, Screens::displayNumberForName(u"main"_s)}};
    FakeActiveWindow activeWindow;
    auto *hotKeys = new FakeGlobalHotKeys;
    NotchOverlayController overlay{settings, screens, activeWindow, shield,
                                   std::unique_ptr<GlobalHotKeys>(hotKeys)};
    FakeDialogs dialogs;
    QTemporaryDir directory;
    BrivelService service{settings, overlay, dialogs, directory.path()};
    overlay.setDocumentService(&service);
    ReviewSessionCounter counter{store};
    EditorController editor{service, settings, store, counter};
    const QString words = QString(u"palabra "_s).repeated(2000);
    service.setPages({u"uno "_s + words, u"dos "_s + words, u"tres "_s + words});
    const auto press = [&](int id) {
        hotKeys->press(id);
        hotKeys->release(id);
        QCoreApplication::processEvents();
    };

    editor.startTeleprompter();
    OverlayPanel *panel = overlay.panel();
    QVERIFY(panel);
    auto *view = qobject_cast<ExternalDisplayView *>(panel->content());
    QVERIFY(view);
    OverlayContent &content = overlay.overlayContent();
    QVERIFY(!content.showPagePicker());

    // ↓↓ slide the text on screen, and → opens the next page, not one a hidden list chose.
    press(Id::arrowDownHotKey);
    const double step = content.arrowScrollDelta();
    QVERIFY(step < 0);
    press(Id::arrowDownHotKey);
    QCOMPARE(content.arrowScrollDelta(), 2 * step);
    QCOMPARE(view->findChild<SpeechScrollView *>()->arrowScrollDelta(), content.arrowScrollDelta());
    press(Id::arrowRightHotKey);
    QCOMPARE(service.currentPageIndex(), 1);
    QCOMPARE(content.words().constFirst(), u"dos"_s);

    // The first Esc ends the reading.
    QTest::keyClick(panel->windowHandle(), Qt::Key_Escape);
    QVERIFY(overlay.isDismissing());
}

QTEST_MAIN(TestFullscreenReading)
#include "tst_fullscreenreading.moc"
