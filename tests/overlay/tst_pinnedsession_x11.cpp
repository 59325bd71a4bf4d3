// A reading session on a real X server with a window manager: where the panel hangs, that it
// never takes the keyboard, and that the session's keys work while another window has it.

#include "common/readingsession.h"
#include "common/xvfb.h"
#include "overlay/notchoverlaycontroller.h"
#include "settings/notchsettings.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

namespace {

using TestSupport::xdotool;

const QString page = u"Buenas tardes a todos. [Pausa] Gracias por venir hoy.\n"
                     "Quiero contarles cómo llegamos hasta acá y qué viene ahora."_qs;

struct Session : TestSupport::ReadingSession
{
    Session()
        : ReadingSession(OverlayMode::pinned, {page, u"dos"_qs, u"tres"_qs})
    {}
};

bool activate(const TestSupport::ForeignWindow &window)
{
    return xdotool({u"windowactivate"_qs, u"--sync"_qs, window.idString()});
}

// Client windows from bottom to top, as the window manager stacks them.
QList<quint64> stackingOrder()
{
    QProcess xprop;
    xprop.start(u"xprop"_qs, {u"-root"_qs, u"_NET_CLIENT_LIST_STACKING"_qs});
    xprop.waitForFinished(5000);
    const QString output = QString::fromLatin1(xprop.readAllStandardOutput());
    QList<quint64> ids;
    for (const QString &item : output.section(u'#', 1).split(u',', Qt::SkipEmptyParts))
        ids.append(item.trimmed().toULongLong(nullptr, 16));
    return ids;
}

} // namespace

class TestPinnedSessionX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelHangsFromTheTopAndStaysAbove();
    void keysReachTheSessionFromAnotherWindow();
};

void TestPinnedSessionX11::panelHangsFromTheTopAndStaysAbove()
{
    TestSupport::ForeignWindow editor("Editor");
    QVERIFY(editor.isValid());
    QVERIFY(activate(editor));

    Session s;
    s.open();
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(panel);
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    // Hangs from the top edge, centred, as wide as the setting.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTRY_COMPARE(panel->frameGeometry().top(), screen.top());
    QCOMPARE(panel->frameGeometry().center().x(), screen.center().x());
    QCOMPARE(panel->width(), 340);
    QCOMPARE(ActiveWindow::system().current(), quint64(editor.id()));

    // A window opened later, even when it takes the keyboard, stays below the panel.
    TestSupport::ForeignWindow later("Later", {100, 0, 600, 400});
    QVERIFY(later.isValid());
    QVERIFY(activate(later));
    QTRY_VERIFY(later.hasInputFocus());
    const QList<quint64> stacking = stackingOrder();
    QVERIFY(stacking.indexOf(panel->winId()) > stacking.indexOf(later.id()));
    // Clicking the panel does not make it the active window.
    QVERIFY(xdotool(
        {u"mousemove"_qs, QString::number(screen.center().x()), u"60"_qs, u"click"_qs, u"1"_qs}));
    QTest::qWait(200);
    QVERIFY(ActiveWindow::system().current() != panel->winId());

    if (const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR"); !dir.isEmpty()) {
        xdotool({u"windowmove"_qs, later.idString(), u"400"_qs, u"0"_qs});
        QTest::qWait(800);
        QProcess::execute(u"import"_qs, {u"-window"_qs, u"root"_qs, dir + u"/pinned-x11.png"_qs});
    }
    s.controller.dismiss();
    QTRY_COMPARE(s.completions, 1);
}

void TestPinnedSessionX11::keysReachTheSessionFromAnotherWindow()
{
    TestSupport::ForeignWindow editor("Editor");
    QVERIFY(editor.isValid());
    QVERIFY(activate(editor));
    Session s;
    s.open();
    QVERIFY(QTest::qWaitForWindowExposed(s.controller.panel()));
    OverlayContent &content = s.controller.overlayContent();
    QTRY_VERIFY(editor.hasInputFocus());
    editor.takeKeyPresses();

    QVERIFY(xdotool({u"key"_qs, u"Down"_qs}));
    QTRY_VERIFY(content.arrowScrollDelta() < 0);
    QVERIFY(xdotool({u"key"_qs, u"Right"_qs}));
    QTRY_COMPARE(s.service.calls, QStringList({u"startReading 1"_qs}));
    content.setCurrentPageIndex(1);
    QVERIFY(xdotool({u"key"_qs, u"Left"_qs}));
    QTRY_COMPARE(s.service.calls.size(), 2);
    QCOMPARE(s.service.calls.last(), u"startReading 0"_qs);
    // Esc on the expanded notes panel opens the picker; Esc again there would end the session,
    // so close it from the model and collapse with Ctrl+M instead.
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_VERIFY(content.showPagePicker());
    content.setShowPagePicker(false);
    QVERIFY(editor.takeKeyPresses().isEmpty()); // none of these reached the editor

    // The keyboard has moved on to another window; collapsing gives it back to the editor.
    TestSupport::ForeignWindow other("Other");
    QVERIFY(activate(other));
    QVERIFY(xdotool({u"key"_qs, u"ctrl+m"_qs}));
    QTRY_VERIFY(content.isCollapsed());
    QVERIFY(content.isMiniMode());
    QTRY_VERIFY(editor.hasInputFocus());

    // Collapsed: the arrows are the editor's again, Esc still belongs to the session.
    editor.takeKeyPresses();
    QVERIFY(xdotool({u"key"_qs, u"Left"_qs}));
    QList<quint8> received;
    const auto receive = [&] { return received += editor.takeKeyPresses(), received.size(); };
    QTRY_COMPARE(receive(), 1);
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_COMPARE(s.completions, 1);
    QCOMPARE(receive(), 1);

    // Ended: every grab is released.
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs, u"Down"_qs, u"ctrl+m"_qs}));
    QTRY_COMPARE(receive(), 5); // ctrl+m is two presses
}

BRIVEL_XVFB_TEST_MAIN(TestPinnedSessionX11, true)
#include "tst_pinnedsession_x11.moc"
