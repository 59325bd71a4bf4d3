#include "common/brivelwindows.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// The command palette: the program's only window 250 wide.
std::optional<ShownWindow> palette()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.geometry.width() == 250)
            return window;
    }
    return std::nullopt;
}

QString firstPage(const QString &autosave)
{
    QFile file(autosave);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll())[u"pages"_s][0].toString();
}

void type(const QString &text)
{
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"40"_s, text}));
}

} // namespace

// The "/" palette in the real program on a real X server with a window manager: it opens under
// the caret while the editor keeps the keys, and above it at the bottom of the screen.
class TestSlashPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typeChooseAndInsert();
};

void TestSlashPalette::typeChooseAndInsert()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const ShownWindow editor = *mainWindow();
    QTRY_COMPARE(keyboardWindow(), editor.id);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    type(u"Hola /pa"_s);
    QTRY_VERIFY_WITH_TIMEOUT(palette().has_value(), 5000);
    // Two rows under two headers, once it has narrowed to the typed "pa".
    QTRY_VERIFY(palette() && palette()->geometry.height() > 120
                && palette()->geometry.height() < 160);
    screenshot(u"slashpalette-open.png"_s);
    const QRect list = palette()->geometry;
    QVERIFY(editor.geometry.contains(list.topLeft()));
    QVERIFY2(list.top() < editor.geometry.top() + editor.geometry.height() / 2,
             "the palette does not hang under the first line");

    // The keys stay with the editor, which hands Down and Return to the palette.
    QVERIFY(xdotool({u"key"_s, u"Down"_s}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!palette().has_value(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(firstPage(brivel.autosave()), u"Hola ── ── ── ── ──"_s, 5000);
    screenshot(u"slashpalette-inserted.png"_s);

    // The window down to the screen's bottom and the caret on its last lines: the palette opens
    // above the caret.
    QVERIFY(xdotool({u"windowmove"_s, u"--sync"_s, editor.id, u"200"_s, u"380"_s}));
    for (int i = 0; i < 12; ++i)
        QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    type(u"/"_s);
    QTRY_VERIFY_WITH_TIMEOUT(palette().has_value(), 5000);
    // Below the caret it would reach past the bottom; kept on screen it would end at the bottom.
    QTRY_COMPARE(palette() ? palette()->geometry.height() : 0, 300);
    screenshot(u"slashpalette-above.png"_s);
    const QRect above = palette()->geometry;
    QVERIFY2(above.bottom() < 800 - 20, "the palette does not sit above the caret");
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!palette().has_value(), 5000);
    QTest::qWait(1500); // time for the autosave to take away the "/" if Esc did
    QVERIFY(firstPage(brivel.autosave()).endsWith(u"\n/"_s));
}

BRIVEL_XVFB_TEST_MAIN(TestSlashPalette, true)

#include "tst_slashpalette_x11.moc"
