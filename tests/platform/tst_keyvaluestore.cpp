#include "platform/apppaths.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/linux/keyvaluestore_qsettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class TestKeyValueStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedReads_data();
    void typedReads();
    void settingsFileFollowsXdgConfigHome();
    void iniFileWrittenByAnotherProcessReadsBack();
    void writesReachTheDiskAtOnce();
    void removeDeletesTheKey();
};

// Every row stores one raw value and says what each typed accessor makes of it.
void TestKeyValueStore::typedReads_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("asBool");   // invalid = absent
    QTest::addColumn<QVariant>("asDouble"); // invalid = absent
    QTest::addColumn<quint32>("asUInt32");

    const QVariant none;
    QTest::newRow("absent") << QVariant() << none << none << 0u;
    QTest::newRow("bool true") << QVariant(true) << QVariant(true) << none << 0u;
    QTest::newRow("ini true") << QVariant(QStringLiteral("true")) << QVariant(true) << none << 0u;
    QTest::newRow("ini false") << QVariant(QStringLiteral("false")) << QVariant(false) << none
                               << 0u;
    QTest::newRow("yes is no Boolean") << QVariant(QStringLiteral("yes")) << none << none << 0u;
    QTest::newRow("ini double") << QVariant(QStringLiteral("340.5")) << none << QVariant(340.5)
                                << 0u;
    QTest::newRow("double") << QVariant(12.0) << none << QVariant(12.0) << 12u;
    QTest::newRow("not a number") << QVariant(QStringLiteral("wide")) << none << none << 0u;
    QTest::newRow("ini inf") << QVariant(QStringLiteral("inf")) << none << none << 0u;
    QTest::newRow("nan") << QVariant(std::numeric_limits<double>::quiet_NaN()) << none << none
                         << 0u;
    QTest::newRow("uint32 max") << QVariant(QStringLiteral("4294967295")) << none
                                << QVariant(4294967295.0) << 4294967295u;
    QTest::newRow("beyond uint32")
        << QVariant(QStringLiteral("4294967296")) << none << QVariant(4294967296.0) << 0u;
    QTest::newRow("negative") << QVariant(-1) << none << QVariant(-1.0) << 0u;
    QTest::newRow("fraction") << QVariant(QStringLiteral("3.5")) << none << QVariant(3.5) << 0u;
}

void TestKeyValueStore::typedReads()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariant, asBool);
    QFETCH(QVariant, asDouble);
    QFETCH(quint32, asUInt32);

    InMemoryKeyValueStore store;
    if (stored.isValid())
        store.setValue(QStringLiteral("k"), stored);

    const std::optional<bool> b = store.boolValue(QStringLiteral("k"));
    QCOMPARE(b.has_value(), asBool.isValid());
    if (b)
        QCOMPARE(*b, asBool.toBool());
    const std::optional<double> d = store.doubleValue(QStringLiteral("k"));
    QCOMPARE(d.has_value(), asDouble.isValid());
    if (d)
        QCOMPARE(*d, asDouble.toDouble());
    QCOMPARE(store.doubleOrZero(QStringLiteral("k")), asDouble.isValid() ? asDouble.toDouble() : 0);
    QCOMPARE(store.uint32Value(QStringLiteral("k")), asUInt32);
}

void TestKeyValueStore::settingsFileFollowsXdgConfigHome()
{
    QTemporaryDir home;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QCOMPARE(AppPaths::settingsFile(), QString(home.path() + u"/Brivel/Brivel.conf"));
    qputenv("XDG_CONFIG_HOME", previous);
}

// A fresh process sees only strings in an INI file; the typed reads must still work, a value
// with an unquoted comma (hand-edited) must not turn into garbage, and a serialised value that
// claims two billion entries must not be unpacked.
void TestKeyValueStore::iniFileWrittenByAnotherProcessReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Brivel.conf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n"
               "flag=true\n"
               "notchWidth=340.5\n"
               "overlayMode=pinned\n"
               "fullscreenScreenID=4000000000\n"
               "appLanguage=es, en\n"
               "notchMode=@Variant(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)\n"
               "fontFamilyPreset=@@Variant(serif)\n");
    file.close();

    const QSettingsKeyValueStore store(path);
    QCOMPARE(store.boolValue(QStringLiteral("flag")), std::optional<bool>(true));
    QCOMPARE(store.doubleValue(QStringLiteral("notchWidth")), std::optional<double>(340.5));
    QCOMPARE(store.stringValue(QStringLiteral("overlayMode")),
             std::optional<QString>(u"pinned"_qs));
    QCOMPARE(store.uint32Value(QStringLiteral("fullscreenScreenID")), 4000000000u);
    QCOMPARE(store.stringValue(QStringLiteral("appLanguage")),
             std::optional<QString>(u"es, en"_qs));
    QVERIFY(!store.contains(QStringLiteral("missing")));
    const std::optional<QString> mended = store.stringValue(QStringLiteral("notchMode"));
    QVERIFY(mended && mended->startsWith(u"@Variant("));
    QCOMPARE(store.stringValue(QStringLiteral("fontFamilyPreset")),
             std::optional<QString>(u"@Variant(serif)"_qs));
}

void TestKeyValueStore::writesReachTheDiskAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Brivel.conf"));
    QSettingsKeyValueStore store(path);
    store.setValue(QStringLiteral("overlayMode"), QStringLiteral("cursor"));

    // Read the file while the store is still alive: nothing may wait for its destructor.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("overlayMode=cursor"));
}

void TestKeyValueStore::removeDeletesTheKey()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Brivel.conf"));
    {
        QSettingsKeyValueStore store(path);
        store.setValue(QStringLiteral("followCursorWhenUndocked"), true);
        store.remove(QStringLiteral("followCursorWhenUndocked"));
    }
    const QSettingsKeyValueStore reopened(path);
    QVERIFY(!reopened.contains(QStringLiteral("followCursorWhenUndocked")));
}

QTEST_GUILESS_MAIN(TestKeyValueStore)
#include "tst_keyvaluestore.moc"
