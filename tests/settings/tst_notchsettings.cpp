#include "common/fakecaptureshield.h"
#include "platform/bundle.h"
#include "platform/captureshield.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const FakeCaptureShield unsupportedShield(false);
const FakeCaptureShield supportedShield(true);

QString k(const char *key)
{
    return QString::fromLatin1(key);
}

void compareColor(const QColor &actual, double r, double g, double b)
{
    QVERIFY2(qAbs(actual.redF() - r) < 1e-4 && qAbs(actual.greenF() - g) < 1e-4
                 && qAbs(actual.blueF() - b) < 1e-4,
             qPrintable(actual.name()));
}

} // namespace

class TestNotchSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsOfAnEmptyStore();
    void storedSizes_data();
    void storedSizes();
    void fontSizePreset_data();
    void fontSizePreset();
    void unknownPresetsFallBack();
    void followCursorMigration_data();
    void followCursorMigration();
    void colorPresetMigration();
    void storedColorWinsOverLegacyPreset();
    void partialColorReadsMissingComponentsAsZero();
    void arrowMigrationRunsOnce();
    void glassEffectResetsOpacityOnlyWhenTurnedOn();
    void cursorModeForcesArrowSettings();
    void effectiveHideNeedsCaptureSupport();
    void equalAssignmentWritesButDoesNotNotify();
    void appLanguage_data();
    void appLanguage();
    void languageSwitchReplacesLocaleAndBundle();
    void hostileIntegersReadAsZero();
    void colorsPersistAsComponents();
};

void TestNotchSettings::defaultsOfAnEmptyStore()
{
    InMemoryKeyValueStore store;
    const NotchSettings s(store, unsupportedShield, k("es"));
    QCOMPARE(s.notchWidth(), 340.0);
    QCOMPARE(s.textAreaHeight(), 160.0);
    QCOMPARE(s.fontSizePreset(), FontSizePreset::sm);
    QCOMPARE(s.fontFamilyPreset(), FontFamilyPreset::sans);
    compareColor(s.highlightColor(), 1, 1, 1);
    compareColor(s.cueColor(), 0.0, 0.847, 0.749);
    QCOMPARE(s.cueBrightness(), CueBrightness::dim);
    QCOMPARE(s.overlayMode(), OverlayMode::pinned);
    QCOMPARE(s.glassEffect(), false);
    QCOMPARE(s.glassOpacity(), 0.7);
    QCOMPARE(s.notchShowsPageNumbers(), false);
    QCOMPARE(s.hideFromScreenShare(), true);
    QCOMPARE(s.showElapsedTime(), false);
    QCOMPARE(s.globalArrowKeysEnabled(), true);
    QCOMPARE(s.arrowScrollsText(), true);
    QCOMPARE(s.appLanguage(), k("es"));
    QCOMPARE(s.fullscreenScreenID(), 0u);
    QCOMPARE(s.globalHotkeyKeyCode(), 0u);
    QCOMPARE(s.globalHotkeyModifiers(), 0u);
    // Creation leaves no colour keys behind when nothing needed migrating.
    QVERIFY(!store.contains(k("highlightColor_r")));
    QVERIFY(!store.contains(k("cueColor_r")));
}

void TestNotchSettings::storedSizes_data()
{
    QTest::addColumn<QVariant>("width");
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<QVariant>("opacity");
    QTest::addColumn<double>("expectedWidth");
    QTest::addColumn<double>("expectedHeight");
    QTest::addColumn<double>("expectedOpacity");

    QTest::newRow("stored") << QVariant(420.0) << QVariant(200.0) << QVariant(0.4) << 420.0 << 200.0
                            << 0.4;
    QTest::newRow("as INI strings")
        << QVariant(k("512.5")) << QVariant(k("180")) << QVariant(k("1")) << 512.5 << 180.0 << 1.0;
    QTest::newRow("zero") << QVariant(0) << QVariant(0) << QVariant(0) << 340.0 << 160.0 << 0.7;
    QTest::newRow("negative") << QVariant(-5) << QVariant(-1) << QVariant(-0.5) << 340.0 << 160.0
                              << 0.7;
    QTest::newRow("low height is raised")
        << QVariant(300) << QVariant(100) << QVariant(0.9) << 300.0 << 140.0 << 0.9;
    QTest::newRow("text") << QVariant(k("wide")) << QVariant(k("tall")) << QVariant(k("x")) << 340.0
                          << 160.0 << 0.7;
    QTest::newRow("not finite") << QVariant(k("inf")) << QVariant(k("nan")) << QVariant(k("inf"))
                                << 340.0 << 160.0 << 0.7;
}

void TestNotchSettings::storedSizes()
{
    QFETCH(QVariant, width);
    QFETCH(QVariant, height);
    QFETCH(QVariant, opacity);
    InMemoryKeyValueStore store;
    store.setValue(k("notchWidth"), width);
    store.setValue(k("textAreaHeight"), height);
    store.setValue(k("glassOpacity"), opacity);
    const NotchSettings s(store, unsupportedShield, k("en"));
    QTEST(s.notchWidth(), "expectedWidth");
    QTEST(s.textAreaHeight(), "expectedHeight");
    QTEST(s.glassOpacity(), "expectedOpacity");
}

void TestNotchSettings::fontSizePreset_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<FontSizePreset>("expected");
    QTest::newRow("xs") << QVariant(k("xs")) << FontSizePreset::xs;
    QTest::newRow("sm") << QVariant(k("sm")) << FontSizePreset::sm;
    QTest::newRow("lg") << QVariant(k("lg")) << FontSizePreset::lg;
    QTest::newRow("older xl") << QVariant(k("xl")) << FontSizePreset::lg;
    QTest::newRow("md") << QVariant(k("md")) << FontSizePreset::sm;
    QTest::newRow("wrong case") << QVariant(k("XS")) << FontSizePreset::sm;
    QTest::newRow("absent") << QVariant() << FontSizePreset::sm;
}

void TestNotchSettings::fontSizePreset()
{
    QFETCH(QVariant, stored);
    InMemoryKeyValueStore store;
    if (stored.isValid())
        store.setValue(k("fontSizePreset"), stored);
    const NotchSettings s(store, unsupportedShield, k("en"));
    QTEST(s.fontSizePreset(), "expected");
}

void TestNotchSettings::unknownPresetsFallBack()
{
    InMemoryKeyValueStore store;
    store.setValue(k("fontFamilyPreset"), k("Serif"));
    store.setValue(k("cueBrightness"), k("blinding"));
    store.setValue(k("overlayMode"), k(""));
    const NotchSettings s(store, unsupportedShield, k("en"));
    QCOMPARE(s.fontFamilyPreset(), FontFamilyPreset::sans);
    QCOMPARE(s.cueBrightness(), CueBrightness::dim);
    QCOMPARE(s.overlayMode(), OverlayMode::pinned);

    InMemoryKeyValueStore valid;
    valid.setValue(k("fontFamilyPreset"), k("dyslexia"));
    valid.setValue(k("cueBrightness"), k("bright"));
    valid.setValue(k("overlayMode"), k("fullscreen"));
    const NotchSettings v(valid, unsupportedShield, k("en"));
    QCOMPARE(v.fontFamilyPreset(), FontFamilyPreset::dyslexia);
    QCOMPARE(v.cueBrightness(), CueBrightness::bright);
    QCOMPARE(v.overlayMode(), OverlayMode::fullscreen);
}

void TestNotchSettings::followCursorMigration_data()
{
    QTest::addColumn<QString>("storedMode");
    QTest::addColumn<QVariant>("followCursor");
    QTest::addColumn<OverlayMode>("expected");
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("floating following")
        << k("floating") << QVariant(true) << OverlayMode::cursor << k("cursor");
    QTest::newRow("floating following, INI")
        << k("floating") << QVariant(k("true")) << OverlayMode::cursor << k("cursor");
    QTest::newRow("floating not following")
        << k("floating") << QVariant(false) << OverlayMode::floating << k("floating");
    QTest::newRow("floating with a non-Boolean")
        << k("floating") << QVariant(k("1")) << OverlayMode::floating << k("floating");
    QTest::newRow("pinned following")
        << k("pinned") << QVariant(true) << OverlayMode::pinned << k("pinned");
}

void TestNotchSettings::followCursorMigration()
{
    QFETCH(QString, storedMode);
    QFETCH(QVariant, followCursor);
    InMemoryKeyValueStore store;
    store.setValue(k("overlayMode"), storedMode);
    store.setValue(k("followCursorWhenUndocked"), followCursor);
    const NotchSettings s(store, unsupportedShield, k("en"));
    QTEST(s.overlayMode(), "expected");
    QTEST(store.value(k("overlayMode")).toString(), "storedAfter");
    QVERIFY(!store.contains(k("followCursorWhenUndocked")));
}

void TestNotchSettings::colorPresetMigration()
{
    InMemoryKeyValueStore store;
    store.setValue(k("fontColorPreset"), k("blue"));
    store.setValue(k("cueColorPreset"), k("orange"));
    const NotchSettings s(store, unsupportedShield, k("en"));
    compareColor(s.highlightColor(), 0.31, 0.55, 1.0);
    compareColor(s.cueColor(), 1.0, 0.62, 0.04);
    QVERIFY(!store.contains(k("fontColorPreset")));
    QVERIFY(!store.contains(k("cueColorPreset")));
    QCOMPARE_LT(qAbs(store.doubleOrZero(k("highlightColor_g")) - 0.55), 1e-4);
    QCOMPARE_LT(qAbs(store.doubleOrZero(k("cueColor_r")) - 1.0), 1e-4);

    // A later start reads the migrated colour from its own keys.
    const NotchSettings again(store, unsupportedShield, k("en"));
    compareColor(again.highlightColor(), 0.31, 0.55, 1.0);

    InMemoryKeyValueStore unknown;
    unknown.setValue(k("fontColorPreset"), k("purple"));
    const NotchSettings u(unknown, unsupportedShield, k("en"));
    compareColor(u.highlightColor(), 1, 1, 1);
    QVERIFY(unknown.contains(k("fontColorPreset")));
}

void TestNotchSettings::storedColorWinsOverLegacyPreset()
{
    InMemoryKeyValueStore store;
    store.setValue(k("fontColorPreset"), k("pink"));
    store.setValue(k("highlightColor_r"), k("0.25"));
    store.setValue(k("highlightColor_g"), k("0.5"));
    store.setValue(k("highlightColor_b"), k("0.75"));
    const NotchSettings s(store, unsupportedShield, k("en"));
    compareColor(s.highlightColor(), 0.25, 0.5, 0.75);
    QCOMPARE(s.highlightColor().alphaF(), 1.0f);
    QCOMPARE(store.value(k("fontColorPreset")).toString(), k("pink"));
}

void TestNotchSettings::partialColorReadsMissingComponentsAsZero()
{
    InMemoryKeyValueStore store;
    store.setValue(k("cueColor_r"), 0.5);
    const NotchSettings s(store, unsupportedShield, k("en"));
    compareColor(s.cueColor(), 0.5, 0, 0);
}

void TestNotchSettings::arrowMigrationRunsOnce()
{
    InMemoryKeyValueStore store;
    store.setValue(k("globalArrowKeysEnabled"), false);
    store.setValue(k("arrowScrollsText"), false);
    {
        const NotchSettings first(store, unsupportedShield, k("en"));
        QCOMPARE(first.globalArrowKeysEnabled(), true);
        QCOMPARE(first.arrowScrollsText(), true);
        QCOMPARE(store.boolValue(k("arrowControlsMigratedV1")), std::optional<bool>(true));
    }
    {
        NotchSettings second(store, unsupportedShield, k("en"));
        second.setGlobalArrowKeysEnabled(false);
        second.setArrowScrollsText(false);
    }
    const NotchSettings third(store, unsupportedShield, k("en"));
    QCOMPARE(third.globalArrowKeysEnabled(), false);
    QCOMPARE(third.arrowScrollsText(), false);
}

void TestNotchSettings::glassEffectResetsOpacityOnlyWhenTurnedOn()
{
    InMemoryKeyValueStore store;
    NotchSettings s(store, unsupportedShield, k("en"));
    s.setGlassOpacity(0.3);
    QSignalSpy opacity(&s, &NotchSettings::glassOpacityChanged);

    s.setGlassEffect(true);
    QCOMPARE(s.glassOpacity(), 0.7);
    QCOMPARE(store.doubleOrZero(k("glassOpacity")), 0.7);
    QCOMPARE(opacity.count(), 1);

    s.setGlassOpacity(0.4);
    s.setGlassEffect(true); // already on
    QCOMPARE(s.glassOpacity(), 0.4);
    s.setGlassEffect(false);
    QCOMPARE(s.glassOpacity(), 0.4);
    QCOMPARE(store.boolValue(k("floatingGlassEffect")), std::optional<bool>(false));
}

void TestNotchSettings::cursorModeForcesArrowSettings()
{
    InMemoryKeyValueStore store;
    NotchSettings s(store, unsupportedShield, k("en"));
    s.setGlobalArrowKeysEnabled(false);
    s.setArrowScrollsText(false);
    QVERIFY(!s.effectiveGlobalArrowKeysEnabled());
    QVERIFY(!s.effectiveArrowScrollsText());

    QSignalSpy globalSpy(&s, &NotchSettings::effectiveGlobalArrowKeysEnabledChanged);
    QSignalSpy scrollSpy(&s, &NotchSettings::effectiveArrowScrollsTextChanged);
    s.setOverlayMode(OverlayMode::cursor);
    QVERIFY(s.effectiveGlobalArrowKeysEnabled());
    QVERIFY(s.effectiveArrowScrollsText());
    QCOMPARE(globalSpy.count(), 1);
    QCOMPARE(scrollSpy.count(), 1);
    // The stored settings keep the user's choice.
    QVERIFY(!s.globalArrowKeysEnabled());

    // A change of the setting under the cursor mode does not move the effective value.
    s.setArrowScrollsText(true);
    QCOMPARE(scrollSpy.count(), 1);
}

void TestNotchSettings::effectiveHideNeedsCaptureSupport()
{
    InMemoryKeyValueStore store;
    NotchSettings x11(store, unsupportedShield, k("en"));
    QVERIFY(x11.hideFromScreenShare());
    QVERIFY(!x11.effectiveHideFromScreenShare());

    NotchSettings shielded(store, supportedShield, k("en"));
    QVERIFY(shielded.effectiveHideFromScreenShare());
    QSignalSpy spy(&shielded, &NotchSettings::effectiveHideFromScreenShareChanged);
    shielded.setHideFromScreenShare(false);
    QVERIFY(!shielded.effectiveHideFromScreenShare());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(store.boolValue(k("hideFromScreenShare")), std::optional<bool>(false));
}

void TestNotchSettings::equalAssignmentWritesButDoesNotNotify()
{
    InMemoryKeyValueStore store;
    NotchSettings s(store, unsupportedShield, k("en"));
    QSignalSpy width(&s, &NotchSettings::notchWidthChanged);
    QSignalSpy mode(&s, &NotchSettings::overlayModeChanged);
    QSignalSpy color(&s, &NotchSettings::cueColorChanged);
    QSignalSpy language(&s, &NotchSettings::appLanguageChanged);
    QSignalSpy bundle(&s, &NotchSettings::localizationBundleChanged);

    s.setNotchWidth(340);
    s.setOverlayMode(OverlayMode::pinned);
    s.setCueColor(s.cueColor());
    s.setAppLanguage(k("en"));
    QCOMPARE(width.count(), 0);
    QCOMPARE(mode.count(), 0);
    QCOMPARE(color.count(), 0);
    QCOMPARE(language.count(), 0);
    QCOMPARE(bundle.count(), 0);
    QCOMPARE(store.writeCount(k("notchWidth")), 1);
    QCOMPARE(store.value(k("overlayMode")).toString(), k("pinned"));
    QCOMPARE(store.writeCount(k("cueColor_g")), 1);
    QCOMPARE(store.writeCount(k("appLanguage")), 1);

    s.setNotchWidth(400);
    s.setOverlayMode(OverlayMode::floating);
    QCOMPARE(width.count(), 1);
    QCOMPARE(mode.count(), 1);
    QCOMPARE(store.doubleOrZero(k("notchWidth")), 400.0);
    QCOMPARE(store.value(k("overlayMode")).toString(), k("floating"));
}

void TestNotchSettings::appLanguage_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("mainBundle");

    QTest::newRow("Spanish system") << QVariant() << k("es") << k("es") << false;
    QTest::newRow("Portuguese system") << QVariant() << k("pt") << k("en") << false;
    QTest::newRow("system without language") << QVariant() << k("") << k("en") << false;
    QTest::newRow("stored en") << QVariant(k("en")) << k("es") << k("en") << false;
    QTest::newRow("stored fr is kept") << QVariant(k("fr")) << k("es") << k("fr") << true;
    // Not shaped like a language tag: kept as stored, never used as a folder name.
    QTest::newRow("stored path") << QVariant(k("../en")) << k("es") << k("../en") << true;
}

void TestNotchSettings::appLanguage()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, system);
    QFETCH(QString, expected);
    QFETCH(bool, mainBundle);
    InMemoryKeyValueStore store;
    if (stored.isValid())
        store.setValue(k("appLanguage"), stored);
    const NotchSettings s(store, unsupportedShield, system);
    QCOMPARE(s.appLanguage(), expected);
    QCOMPARE(s.localizationBundle() == Bundle::main(), mainBundle);
    QCOMPARE(store.contains(k("appLanguage")), stored.isValid());
}

void TestNotchSettings::languageSwitchReplacesLocaleAndBundle()
{
    InMemoryKeyValueStore store;
    NotchSettings s(store, unsupportedShield, k("es"));
    QCOMPARE(s.currentLocale().language(), QLocale::Spanish);
    const auto spanish = s.localizationBundle();

    QSignalSpy locale(&s, &NotchSettings::currentLocaleChanged);
    QSignalSpy bundle(&s, &NotchSettings::localizationBundleChanged);
    s.setAppLanguage(k("en"));
    QCOMPARE(s.currentLocale().language(), QLocale::English);
    QVERIFY(s.localizationBundle() != spanish);
    QVERIFY(s.localizationBundle()->path().endsWith(u"en.lproj"));
    QCOMPARE(locale.count(), 1);
    QCOMPARE(bundle.count(), 1);
    QCOMPARE(store.value(k("appLanguage")).toString(), k("en"));
}

void TestNotchSettings::hostileIntegersReadAsZero()
{
    InMemoryKeyValueStore store;
    store.setValue(k("fullscreenScreenID"), k("99999999999"));
    store.setValue(k("globalHotkeyKeyCode"), -3);
    store.setValue(k("globalHotkeyModifiers"), k("134217728"));
    const NotchSettings s(store, unsupportedShield, k("en"));
    QCOMPARE(s.fullscreenScreenID(), 0u);
    QCOMPARE(s.globalHotkeyKeyCode(), 0u);
    QCOMPARE(s.globalHotkeyModifiers(), 134217728u);
}

void TestNotchSettings::colorsPersistAsComponents()
{
    InMemoryKeyValueStore store;
    {
        NotchSettings s(store, unsupportedShield, k("en"));
        s.setHighlightColor(QColor::fromHsvF(0.0f, 1.0f, 1.0f)); // red, given in another model
        s.setCueColor(QColor());                                 // not expressible: stored as white
    }
    const NotchSettings reloaded(store, unsupportedShield, k("en"));
    compareColor(reloaded.highlightColor(), 1, 0, 0);
    compareColor(reloaded.cueColor(), 1, 1, 1);
}

QTEST_GUILESS_MAIN(TestNotchSettings)
#include "tst_notchsettings.moc"
