#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/contentview.h"
#include "editor/model/editorcontroller.h"
#include "onboarding/heroplayer.h"
#include "onboarding/onboardingwidget.h"
#include "platform/mediabackend.h"

#include <QAbstractButton>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Root : ServiceFixture
{
    explicit Root(bool onboardingDone)
        : controller(withFlag(onboardingDone), settings, store, counter)
    {
        service.setPages({u"one"_s});
        window.menuBar()->addMenu(u"Brivel"_s);
        window.setCentralWidget(view);
        window.show();
    }

    BrivelService &withFlag(bool done)
    {
        store.setValue(u"hasCompletedOnboarding"_s, done);
        return service;
    }

    void click(const char *name)
    {
        auto *button = view->findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        button->click();
    }

    ReviewSessionCounter counter{store};
    EditorController controller;
    QMainWindow window;
    ContentView *view = new ContentView(controller, service, dialogs);
};

bool mediaPluginLoaded()
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libffmpegmediaplugin");
}

} // namespace

class TestOnboardingHost : public QObject
{
    Q_OBJECT

public:
    static void initMain() { chooseMediaBackend(); }

private Q_SLOTS:
    // A completed onboarding is never built, and the media plugin never loaded.
    void completedCostsNothing()
    {
        Root root(true);
        QVERIFY(QTest::qWaitForWindowExposed(&root.window));
        QVERIFY(!root.view->findChild<OnboardingWidget *>());
        QVERIFY(!mediaPluginLoaded());
    }

    // The real flow in the window: fixed at 720×560 and deaf to the menu commands meanwhile;
    // "Omitir" completes it, the onboarding goes, the size stays and the limits return.
    void firstRunHandsOverToTheEditor()
    {
        Root root(false);
        QVERIFY(QTest::qWaitForWindowExposed(&root.window));
        QCOMPARE(root.view->size(), ContentView::firstRunSize);
        QCOMPARE(root.window.minimumSize(), root.window.maximumSize());
        const QSize size = root.window.size();
        root.controller.openSettings();
        root.controller.openAbout();
        root.controller.handleToggleTeleprompter();
        QVERIFY(!root.controller.showSettings() && !root.controller.showAbout());
        QVERIFY(!root.controller.isRunning());

        root.click("beginButton");
        QVERIFY(!mediaPluginLoaded());
        root.click("language_es");
        QTRY_COMPARE(MediaClips::liveCount(), 3);
        QVERIFY(mediaPluginLoaded());
        root.click("skipButton");
        QVERIFY(root.store.boolValue(u"hasCompletedOnboarding"_s).value_or(false));
        QTRY_VERIFY(!root.view->findChild<OnboardingWidget *>());
        QCOMPARE(MediaClips::liveCount(), 0);
        QCOMPARE(root.window.size(), size);
        QVERIFY(root.window.maximumSize().width() > 5000);
        root.controller.openSettings();
        QVERIFY(root.controller.showSettings());
    }
};

QTEST_MAIN(TestOnboardingHost)
#include "tst_onboardinghost.moc"
