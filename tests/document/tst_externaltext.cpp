#include "common/appfakes.h"
#include "common/overlayfakes.h"
#include "document/externaltext.h"
#include "document/globalhotkeymanager.h"
#include "settings/localization.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Refuses every key, as when another client holds it.
class TakenGlobalHotKeys : public FakeGlobalHotKeys
{
public:
    bool registerHotKey(int, int, Qt::KeyboardModifiers) override { return false; }
};

} // namespace

// Text handed over by other programs: links, the text entry's checks, and the toggle key.
class TestExternalText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void links_data();
    void links();
    void lengthIsCountedInCharacters_data();
    void lengthIsCountedInCharacters();
    void textEntryRefusals();
    void toggleKeyRegistration();
    void toggleKeyRunsOnALaterTurn();
};

void TestExternalText::links_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown"); // null: nothing shown
    const QString none;
    QTest::newRow("decoded") << u"brivel://read?text=Hola%20mundo%20%C3%B1and%C3%BA"_s
                             << u"Hola mundo ñandú"_s;
    QTest::newRow("letters unencoded") << u"brivel://read?text=ñandú"_s << u"ñandú"_s;
    QTest::newRow("action as path") << u"brivel:/read?text=x"_s << u"x"_s;
    QTest::newRow("plus stays") << u"brivel://read?text=1+1%2B1"_s << u"1+1+1"_s;
    QTest::newRow("first text wins") << u"brivel://read?a=1&text=one&text=two"_s << u"one"_s;
    QTest::newRow("controls dropped, tab and breaks kept")
        << u"brivel://read?text=a%00b%07c%09d%0Ae%0Df%7Fg%C2%80h%C2%85i%C2%9Fj"_s
        << u"abc\td\ne\rfghij"_s;
    QTest::newRow("no query") << u"brivel://read"_s << none;
    QTest::newRow("no value") << u"brivel://read?text"_s << none;
    QTest::newRow("first has no value") << u"brivel://read?text&text=x"_s << none;
    QTest::newRow("empty") << u"brivel://read?text="_s << none;
    QTest::newRow("spaces") << u"brivel://read?text=%20%20"_s << none;
    QTest::newRow("unencoded space") << u"brivel://read?text=a b"_s << none;
    QTest::newRow("bad escape") << u"brivel://read?text=%zz"_s << none;
    QTest::newRow("not UTF-8") << u"brivel://read?text=%FF%FE"_s << none;
    QTest::newRow("cut UTF-8") << u"brivel://read?text=a%C3"_s << none;
    QTest::newRow("other action") << u"brivel://other?text=x"_s << none;
    QTest::newRow("no slashes") << u"brivel:read?text=x"_s << none;
    QTest::newRow("scheme in capitals") << u"BRIVEL://read?text=x"_s << none;
    QTest::newRow("action in capitals") << u"brivel://READ?text=x"_s << none;
    QTest::newRow("other item name") << u"brivel://read?Text=x"_s << none;
    QTest::newRow("web link") << u"https://example.org/read?text=x"_s << none;
    QTest::newRow("100,000 letters")
        << u"brivel://read?text="_s + QString(100'000, u'a') << QString(100'000, u'a');
    QTest::newRow("100,001 letters") << u"brivel://read?text="_s + QString(100'001, u'a') << none;
    // The longest argument a program can be given.
    QTest::newRow("131,071 bytes")
        << u"brivel://read?text="_s + QString(131'071 - 19, u'b') << none;
}

void TestExternalText::links()
{
    QFETCH(QString, link);
    QFETCH(QString, shown);
    ServiceFixture f;
    f.service.handleURL(link);
    if (shown.isNull()) {
        QVERIFY(f.overlay.calls.isEmpty());
        QVERIFY(!f.service.launchedExternally());
    } else {
        QCOMPARE(f.overlay.calls, QStringList{u"show"_s});
        QCOMPARE(f.overlay.lastLoad.text, shown);
        QVERIFY(!f.overlay.lastLoad.isNotesMode);
    }
}

void TestExternalText::lengthIsCountedInCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("counted"); // up to one past the limit
    QTest::addColumn<bool>("accepted");
    const QString combining = u"e\u0301\u0323"_s;
    const QString family = u"👩‍👩‍👧"_s;
    // Eleven code units: the counting windows' edges fall inside its surrogate pairs.
    const QString familyOfFour = u"👨‍👩‍👧‍👦"_s;
    QTest::newRow("100,000 combining") << combining.repeated(100'000) << qsizetype(100'000) << true;
    QTest::newRow("100,001 combining")
        << combining.repeated(100'001) << qsizetype(100'001) << false;
    QTest::newRow("100,000 emoji sequences")
        << family.repeated(100'000) << qsizetype(100'000) << true;
    QTest::newRow("100,001 emoji sequences")
        << family.repeated(100'001) << qsizetype(100'001) << false;
    QTest::newRow("1,000 families of four")
        << familyOfFour.repeated(1'000) << qsizetype(1'000) << true;
    QTest::newRow("99,800 families of four")
        << familyOfFour.repeated(99'800) << qsizetype(99'800) << true;
    QTest::newRow("100,000 line breaks as CR LF")
        << u"\r\n"_s.repeated(100'000) << qsizetype(100'000) << true;
    QTest::newRow("dropped controls are not counted")
        << QString(100'000, u'a') + QString(500, u'\x01') + u"\x7f\x80\x9f"_s << qsizetype(100'000)
        << true;
    QTest::newRow("one huge cluster")
        << u"a"_s + QString(ExternalText::maximumCodeUnits, u'\u0301') << qsizetype(1) << false;
}

void TestExternalText::lengthIsCountedInCharacters()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, counted);
    QFETCH(bool, accepted);
    QCOMPARE(ExternalText::countCharacters(text, ExternalText::maximumCharacters + 1), counted);
    QCOMPARE(ExternalText::checked(text).has_value(), accepted);
}

void TestExternalText::textEntryRefusals()
{
    QString refusal;
    QVERIFY(!BrivelService::acceptExternalText(std::nullopt, &refusal));
    QCOMPARE(refusal, localizedString("No se encontró texto en el portapapeles"));
    refusal.clear();
    QVERIFY(!BrivelService::acceptExternalText(QString(100'001, u'x'), &refusal));
    QCOMPARE(refusal, localizedString("El texto es demasiado largo"));
    refusal.clear();
    QCOMPARE(BrivelService::acceptExternalText(u"a\u0000b"_s, &refusal), u"ab"_s);
    QVERIFY(refusal.isEmpty());
}

void TestExternalText::toggleKeyRegistration()
{
    auto owned = std::make_unique<FakeGlobalHotKeys>();
    FakeGlobalHotKeys &keys = *owned;
    GlobalHotkeyManager manager(std::move(owned));

    manager.registerHotKey(Qt::Key_B, (Qt::ControlModifier | Qt::AltModifier).toInt());
    QCOMPARE(keys.registeredIds(), QList<int>{GlobalHotkeyManager::hotKeyId});
    // Keypad and group-switch bits mean nothing to a global key.
    manager.registerHotKey(
        Qt::Key_F5, (Qt::ShiftModifier | Qt::MetaModifier | Qt::KeypadModifier).toInt() | 0x1);
    QCOMPARE(keys.binding(GlobalHotkeyManager::hotKeyId),
             std::make_pair(int(Qt::Key_F5), Qt::ShiftModifier | Qt::MetaModifier));
    manager.registerHotKey(0, Qt::ControlModifier);
    QVERIFY(!manager.isRegistered());

    GlobalHotkeyManager refused(std::make_unique<TakenGlobalHotKeys>());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Ctrl\\+Alt\\+B"_s));
    refused.registerHotKey(Qt::Key_B, (Qt::ControlModifier | Qt::AltModifier).toInt());
    QVERIFY(!refused.isRegistered());
}

void TestExternalText::toggleKeyRunsOnALaterTurn()
{
    auto owned = std::make_unique<FakeGlobalHotKeys>();
    FakeGlobalHotKeys &keys = *owned;
    GlobalHotkeyManager manager(std::move(owned));
    int toggles = 0;
    manager.onHotkeyPressed = [&toggles] { ++toggles; };
    manager.registerHotKey(Qt::Key_B, Qt::ControlModifier);
    keys.press(10); // a reading session's key
    keys.press(GlobalHotkeyManager::hotKeyId);
    QCOMPARE(toggles, 0);
    QTRY_COMPARE(toggles, 1);
    QTest::qWait(20);
    QCOMPARE(toggles, 1);
}

QTEST_GUILESS_MAIN(TestExternalText)
#include "tst_externaltext.moc"
