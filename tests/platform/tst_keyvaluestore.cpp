#include "common/files.h"
#include "platform/apppaths.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/linux/keyvaluestore_qsettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The mode bits of a path as the system reports them (the link itself is not followed).
mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                      : mode_t(-1);
}

} // namespace

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
    void unusableFileIsMovedAside_data();
    void unusableFileIsMovedAside();
    void serialisedValuesAreMendedInOnePass();
    void createdForTheOwnerOnlyUnderAnyUmask();
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

// Whatever sits where the settings belong, the store opens at once with the defaults, and what
// was there is kept beside it under a name that says why, with one line in the log. A new file
// takes its place for the next write.
void TestKeyValueStore::unusableFileIsMovedAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("FIFO") << u"fifo"_s << u"not-a-file"_s;
    QTest::newRow("directory") << u"directory"_s << u"not-a-file"_s;
    QTest::newRow("link to /dev/zero") << u"zero"_s << u"not-a-file"_s;
    QTest::newRow("link loop") << u"loop"_s << u"not-a-file"_s;
    QTest::newRow("larger than the cap") << u"large"_s << u"too-large"_s;
    QTest::newRow("500,000 sections") << u"sections"_s << u"too-many-lines"_s;
    QTest::newRow("150,000 sections, CR line ends") << u"crSections"_s << u"too-many-lines"_s;
}

void TestKeyValueStore::unusableFileIsMovedAside()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Brivel.conf"_s);
    const QByteArray nativePath = QFile::encodeName(path);
    if (kind == u"fifo") {
        QCOMPARE(::mkfifo(nativePath.constData(), 0600), 0);
    } else if (kind == u"directory") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"zero") {
        QCOMPARE(::symlink("/dev/zero", nativePath.constData()), 0);
    } else if (kind == u"loop") {
        QCOMPARE(::symlink("Brivel.conf", nativePath.constData()), 0);
    } else if (kind == u"large") {
        QByteArray bytes = "[General]\noverlayMode=cursor\nnote=";
        bytes += QByteArray(QSettingsKeyValueStore::maximumFileBytes, 'x') + '\n';
        TestSupport::writeFile(path, bytes);
    } else {
        // Within the size cap: the sections alone are what costs.
        const bool cr = kind == u"crSections";
        QByteArray bytes
            = cr ? "[General]\roverlayMode=cursor\r" : "[General]\noverlayMode=cursor\n";
        for (int i = 0; i < (cr ? 150'000 : 500'000); ++i)
            bytes += cr ? "[a]\r" : "[a]\n";
        QVERIFY(bytes.size() < QSettingsKeyValueStore::maximumFileBytes);
        TestSupport::writeFile(path, bytes);
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Settings file was unusable .*"_s
                                                          + u"Brivel\\.conf\\."_s + why));
    QElapsedTimer started;
    started.start();
    QSettingsKeyValueStore store(path);
    QVERIFY(!store.contains(u"overlayMode"_s));
    QVERIFY2(started.elapsed() < 1000, qPrintable(QString::number(started.elapsed())));

    const QStringList aside
        = QDir(dir.path())
              .entryList({u"Brivel.conf.*"_s}, QDir::System | QDir::AllEntries | QDir::Hidden);
    QCOMPARE(aside.size(), 1);
    QVERIFY2(QRegularExpression(u"^Brivel\\.conf\\.%1-\\d{8}-\\d{6}$"_s.arg(why))
                 .match(aside.first())
                 .hasMatch(),
             qPrintable(aside.first()));
    QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
    QCOMPARE(modeOf(path), mode_t(0600));
    store.setValue(u"overlayMode"_s, u"floating"_s);
    QVERIFY(TestSupport::readFile(path).contains("overlayMode=floating"));
}

// Hundreds of thousands of serialised values, just inside the caps, are mended at start-up in
// a moment and every one then reads as text.
void TestKeyValueStore::serialisedValuesAreMendedInOnePass()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Brivel.conf"_s);
    QByteArray bytes = "[General]\n";
    QByteArray value;
    while (value.size() < 1900)
        value += "@Variant(x";
    int keys = 0;
    while (bytes.size() + value.size() + 16 < QSettingsKeyValueStore::maximumFileBytes * 8 / 10)
        bytes += "k" + QByteArray::number(keys++) + "=" + value + "\n";
    TestSupport::writeFile(path, bytes);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Settings file held unreadable"_s));
    QElapsedTimer started;
    started.start();
    const QSettingsKeyValueStore store(path);
    const std::optional<QString> last = store.stringValue(u"k%1"_s.arg(keys - 1));
    QVERIFY2(started.elapsed() < 1000, qPrintable(QString::number(started.elapsed())));
    QVERIFY(last && last->startsWith(u"@Variant(x@"));
    const QByteArray mended = TestSupport::readFile(path);
    QCOMPARE(mended.count("@@Variant("), bytes.count("@Variant("));
    QCOMPARE(mended.count("@@@Variant("), 0);
}

// Under umask 000 a fresh home would otherwise get folders and a file anyone may write, and the
// settings hold the global keys.
void TestKeyValueStore::createdForTheOwnerOnlyUnderAnyUmask()
{
    QTemporaryDir dir;
    const mode_t previous = ::umask(0);
    const auto restore = qScopeGuard([previous] { ::umask(previous); });
    const QString config = dir.filePath(u"config"_s);
    const QString path = config + u"/Brivel/Brivel.conf"_s;
    {
        QSettingsKeyValueStore store(path);
        store.setValue(u"overlayMode"_s, u"cursor"_s);
        store.setValue(u"notchWidth"_s, 340.5);
    }
    QCOMPARE(modeOf(config), mode_t(0700));
    QCOMPARE(modeOf(config + u"/Brivel"_s), mode_t(0700));
    QCOMPARE(modeOf(path), mode_t(0600));
    QVERIFY(TestSupport::readFile(path).contains("overlayMode=cursor"));
}

QTEST_GUILESS_MAIN(TestKeyValueStore)
#include "tst_keyvaluestore.moc"
