#include "common/xvfb.h"
#include "platform/activewindow.h"
#include "platform/overlaywindow.h"
#include "x11otherclient.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using TestSupport::ForeignWindow;
using TestSupport::xdotool;

namespace {

class MousePresses : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            ++count;
        return false;
    }

    int count = 0;
};

} // namespace

// The window that has the keyboard, and panels that stay above every window without taking it.
class TestX11Windows : public TestSupport::OtherClientTest
{
    Q_OBJECT

private Q_SLOTS:
    void activeWindowIsReadAndRestored();
    void activationNeverWaitsOnTheServer();
    void overlayWindowStaysAboveOnAllDesktopsWithoutFocus_data();
    void overlayWindowStaysAboveOnAllDesktopsWithoutFocus();
};

void TestX11Windows::activeWindowIsReadAndRestored()
{
    ActiveWindow &activeWindow = ActiveWindow::system();
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(m_foreign->id()));

    ForeignWindow second("Second", {500, 300, 200, 150});
    QVERIFY(second.isValid());
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, second.idString()}));
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(second.id()));

    activeWindow.activate(m_foreign->id());
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(m_foreign->id()));
    QTRY_VERIFY(m_foreign->hasInputFocus());
}

// The time the window manager weighs the request by comes with an event of Qt's connection: with
// the server held by another client, activate() returns at once, and the request, with a time
// the server gave, follows once the server is let go.
void TestX11Windows::activationNeverWaitsOnTheServer()
{
    ActiveWindow &activeWindow = ActiveWindow::system();
    m_other->watchRequestsToTheWindowManager();
    QList<std::pair<quint32, quint32>> requests;
    activeWindow.activate(m_foreign->id());
    QTRY_COMPARE((requests += m_other->takeActivationRequests()).size(), 1);
    const quint32 earlier = requests.first().second;
    QVERIFY(earlier != XCB_CURRENT_TIME);

    // Should activate() wait on the server, the server is let go after a while all the same.
    m_other->grabServer();
    std::mutex mutex;
    std::condition_variable returned;
    bool hasReturned = false;
    bool letGoWhileWaiting = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!returned.wait_for(lock, std::chrono::seconds(5), [&] { return hasReturned; })) {
            letGoWhileWaiting = true;
            m_other->ungrabServer();
        }
    });
    activeWindow.activate(m_foreign->id());
    {
        const std::lock_guard lock(mutex);
        hasReturned = true;
    }
    returned.notify_one();
    watchdog.join();
    QVERIFY(!letGoWhileWaiting);
    m_other->ungrabServer();

    requests.clear();
    QTRY_COMPARE((requests += m_other->takeActivationRequests()).size(), 1);
    QCOMPARE(requests.first().first, m_foreign->id());
    QVERIFY2(requests.first().second >= earlier,
             qPrintable(QString::number(requests.first().second)));
}

void TestX11Windows::overlayWindowStaysAboveOnAllDesktopsWithoutFocus_data()
{
    QTest::addColumn<bool>("createdFirst");

    QTest::newRow("configured before the native window exists") << false;
    QTest::newRow("configured after the native window exists") << true;
}

void TestX11Windows::overlayWindowStaysAboveOnAllDesktopsWithoutFocus()
{
    QFETCH(bool, createdFirst);

    QWindow panel;
    panel.setGeometry(400, 0, 400, 120);
    if (createdFirst)
        panel.create();
    OverlayWindow::configure(&panel);
    const Qt::WindowFlags flags = panel.flags();
    QVERIFY(flags.testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                            | Qt::WindowDoesNotAcceptFocus));

    const auto id = quint32(panel.winId());
    const auto stateAtoms = [&](const QList<QByteArray> &names) {
        QList<quint32> atoms;
        for (const QByteArray &name : names)
            atoms.append(m_other->atom(name));
        return atoms;
    };
    const auto hasStates = [&](const QList<quint32> &wanted) {
        const QList<quint32> states = m_other->property(id, "_NET_WM_STATE");
        return std::all_of(wanted.cbegin(), wanted.cend(),
                           [&](quint32 state) { return states.contains(state); });
    };
    const QList<quint32> allDesktops{0xFFFFFFFF};
    // What the window manager reads when it first maps the window.
    QVERIFY(hasStates(stateAtoms({"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                                  "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})));
    QCOMPARE(m_other->property(id, "_NET_WM_DESKTOP"), allDesktops);

    // ICCCM WM_STATE, written by the window manager: 1 when it manages the window as normal.
    const auto isManaged = [&] { return m_other->property(id, "WM_STATE").value(0) == 1; };
    // What it keeps once it manages the window (openbox has no sticky state of its own).
    const QList<quint32> keptStates = stateAtoms(
        {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});

    // Shown again after a hide, the window manager has forgotten what it knew of it.
    for (int showing = 0; showing < 2; ++showing) {
        panel.show();
        QCOMPARE(quint32(panel.winId()), id);
        QTRY_VERIFY(isManaged());
        // Transient for nothing, which window managers would minimise it with or place it by.
        QVERIFY(m_other->property(id, "WM_TRANSIENT_FOR").isEmpty());
        QVERIFY(m_other->property(id, "_NET_WM_WINDOW_TYPE")
                    .contains(m_other->atom("_NET_WM_WINDOW_TYPE_UTILITY")));
        QVERIFY(hasStates(keptStates));
        QCOMPARE(m_other->property(id, "_NET_WM_DESKTOP"), allDesktops);
        QCOMPARE(ActiveWindow::system().current(), ActiveWindow::WindowId(m_foreign->id()));
        panel.hide();
        QTRY_VERIFY(!isManaged());
    }
    panel.show();
    QTRY_VERIFY(isManaged());

    // A click does not give it the keyboard either.
    MousePresses clicks;
    panel.installEventFilter(&clicks);
    QVERIFY(xdotool({u"mousemove"_qs, u"--window"_qs, QString::number(id), u"20"_qs, u"20"_qs,
                     u"click"_qs, u"1"_qs}));
    QTRY_COMPARE(clicks.count, 1);
    QVERIFY(!panel.isActive());
    QVERIFY(QGuiApplication::focusWindow() != &panel);
    QVERIFY(m_foreign->hasInputFocus());

    // Activating another window raises it, but not over the panel.
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, m_foreign->idString()}));
    const QList<quint32> bottomToTop = m_other->rootProperty("_NET_CLIENT_LIST_STACKING");
    QVERIFY(bottomToTop.contains(m_foreign->id()));
    QVERIFY(bottomToTop.indexOf(id) > bottomToTop.indexOf(m_foreign->id()));

    // On another desktop the foreign window goes away and the panel stays.
    QVERIFY(xdotool({u"set_desktop"_qs, u"1"_qs}));
    auto backToFirstDesktop = qScopeGuard([] { xdotool({u"set_desktop"_qs, u"0"_qs}); });
    QTRY_VERIFY(!m_other->isViewable(m_foreign->id()));
    QVERIFY(m_other->isViewable(id));
    backToFirstDesktop.dismiss();
    QVERIFY(xdotool({u"set_desktop"_qs, u"0"_qs}));
    QTRY_VERIFY(m_other->isViewable(m_foreign->id()));
}

BRIVEL_XVFB_TEST_MAIN(TestX11Windows, true)

#include "tst_x11windows.moc"
