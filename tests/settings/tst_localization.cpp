#include "platform/bundle.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <QSignalSpy>
#include <QTest>

// localizedString() reads the process's settings, which live in this test's own config home.
class TestLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void presetRawValues();
    void presetLookupIsExact_data();
    void presetLookupIsExact();
    void presetTables();
    void descriptionsFollowTheLanguage();
    void missingEntryShowsTheSpanishKey();
    void unknownLanguageUsesTheMainBundle();
    void languageTags_data();
    void languageTags();
    void bundlesAreOnePerFolder();
    void formatting_data();
    void formatting();
    void argumentsFillTheTranslatedText();
    void numbersAreGroupedAsTheLanguageWritesThem_data();
    void numbersAreGroupedAsTheLanguageWritesThem();
};

void TestLocalization::init()
{
    NotchSettings::shared().setAppLanguage(QStringLiteral("es"));
}

void TestLocalization::presetRawValues()
{
    QStringList names;
    for (OverlayMode mode : allCases<OverlayMode>())
        names << rawValue(mode);
    QCOMPARE(names, QStringList({u"pinned"_qs, u"floating"_qs, u"cursor"_qs, u"fullscreen"_qs}));

    names.clear();
    for (CueBrightness b : allCases<CueBrightness>())
        names << rawValue(b);
    QCOMPARE(names, QStringList({u"dim"_qs, u"low"_qs, u"medium"_qs, u"bright"_qs}));

    names.clear();
    for (FontFamilyPreset f : allCases<FontFamilyPreset>())
        names << rawValue(f);
    QCOMPARE(names, QStringList({u"sans"_qs, u"serif"_qs, u"mono"_qs, u"dyslexia"_qs}));

    names.clear();
    for (FontSizePreset s : allCases<FontSizePreset>())
        names << rawValue(s);
    QCOMPARE(names, QStringList({u"xs"_qs, u"sm"_qs, u"lg"_qs}));

    names.clear();
    for (FontColorPreset c : allCases<FontColorPreset>())
        names << rawValue(c);
    QCOMPARE(names, QStringList({u"white"_qs, u"yellow"_qs, u"green"_qs, u"blue"_qs, u"pink"_qs,
                                 u"orange"_qs}));

    // Every case reads back from its own raw value.
    for (FontColorPreset c : allCases<FontColorPreset>())
        QCOMPARE(presetFromRawValue<FontColorPreset>(rawValue(c)), std::optional(c));
    for (OverlayMode m : allCases<OverlayMode>())
        QCOMPARE(presetFromRawValue<OverlayMode>(rawValue(m)), std::optional(m));
}

void TestLocalization::presetLookupIsExact_data()
{
    QTest::addColumn<QString>("raw");
    QTest::newRow("wrong case") << u"Pinned"_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("padded") << u" pinned"_qs;
    QTest::newRow("prefix") << u"pin"_qs;
}

void TestLocalization::presetLookupIsExact()
{
    QFETCH(QString, raw);
    QCOMPARE(presetFromRawValue<OverlayMode>(raw), std::nullopt);
}

void TestLocalization::presetTables()
{
    QCOMPARE(cueOpacities(CueBrightness::dim).unread, 0.2);
    QCOMPARE(cueOpacities(CueBrightness::dim).read, 0.5);
    QCOMPARE(cueOpacities(CueBrightness::low).unread, 0.35);
    QCOMPARE(cueOpacities(CueBrightness::medium).read, 0.7);
    QCOMPARE(cueOpacities(CueBrightness::bright).unread, 0.8);
    QCOMPARE(cueOpacities(CueBrightness::bright).read, 1.0);
    QCOMPARE(pointSize(FontSizePreset::xs), 14.0);
    QCOMPARE(pointSize(FontSizePreset::sm), 16.0);
    QCOMPARE(pointSize(FontSizePreset::lg), 20.0);
    QCOMPARE(color(FontColorPreset::green), defaultCueColor());
    QCOMPARE(color(FontColorPreset::white).alphaF(), 1.0f);
    QVERIFY(qAbs(color(FontColorPreset::yellow).greenF() - 0.84) < 1e-4);
}

void TestLocalization::descriptionsFollowTheLanguage()
{
    NotchSettings &settings = NotchSettings::shared();
    QCOMPARE(localizedDescription(OverlayMode::pinned),
             u"Anclado debajo del notch en la parte superior de tu pantalla."_qs);

    QSignalSpy changed(&settings, &NotchSettings::localizationBundleChanged);
    settings.setAppLanguage(QStringLiteral("en"));
    QCOMPARE(changed.count(), 1);
    // Every description has an English entry: none may come back in Spanish.
    for (OverlayMode mode : allCases<OverlayMode>()) {
        const QString english = localizedDescription(mode);
        settings.setAppLanguage(QStringLiteral("es"));
        const QString spanish = localizedDescription(mode);
        settings.setAppLanguage(QStringLiteral("en"));
        QVERIFY2(!english.isEmpty() && english != spanish, qPrintable(spanish));
    }
    QCOMPARE(localizedDescription(OverlayMode::fullscreen),
             u"Full-screen teleprompter on the selected display. Press Esc to stop."_qs);
}

void TestLocalization::missingEntryShowsTheSpanishKey()
{
    NotchSettings::shared().setAppLanguage(QStringLiteral("en"));
    QCOMPARE(localizedString("Texto que ninguna tabla traduce"),
             u"Texto que ninguna tabla traduce"_qs);
}

void TestLocalization::unknownLanguageUsesTheMainBundle()
{
    NotchSettings &settings = NotchSettings::shared();
    settings.setAppLanguage(QStringLiteral("fr"));
    QCOMPARE(settings.appLanguage(), u"fr"_qs);
    QCOMPARE(settings.localizationBundle(), Bundle::main());
    QCOMPARE(localizedDescription(OverlayMode::floating),
             u"Hasta 4 ventanas que podés fijar donde quieras."_qs);
}

void TestLocalization::languageTags_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    QTest::newRow("es") << u"es"_qs << true;
    QTest::newRow("pt-BR") << u"pt-BR"_qs << true;
    QTest::newRow("zh_Hant_TW") << u"zh_Hant_TW"_qs << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("one letter") << u"e"_qs << false;
    QTest::newRow("parent folder") << u"../en"_qs << false;
    QTest::newRow("slash") << u"en/x"_qs << false;
    QTest::newRow("absolute") << u"/tmp"_qs << false;
}

void TestLocalization::languageTags()
{
    QFETCH(QString, code);
    QTEST(Bundle::isLanguageTag(code), "valid");
}

void TestLocalization::bundlesAreOnePerFolder()
{
    const auto english = Bundle::localization(u"en"_qs);
    QVERIFY(english != Bundle::main());
    QCOMPARE(Bundle::localization(u"en"_qs), english);
    QVERIFY(Bundle::localization(u"es"_qs) != english);
    QCOMPARE(Bundle::localization(u"de"_qs), Bundle::main());
    QCOMPARE(Bundle::localization(u"en/../en"_qs), Bundle::main());
}

void TestLocalization::formatting_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("expected");

    QTest::newRow("integer") << u"%lld"_qs << QVariantList{7} << u"7"_qs;
    QTest::newRow("two in order") << u"Página %lld de %lld"_qs << QVariantList{2, 10}
                                  << u"Página 2 de 10"_qs;
    QTest::newRow("object") << u"Abrir %@"_qs << QVariantList{u"guion.brivel"_qs}
                            << u"Abrir guion.brivel"_qs;
    QTest::newRow("positional") << u"%2$@ of %1$@"_qs << QVariantList{u"a"_qs, u"b"_qs}
                                << u"b of a"_qs;
    QTest::newRow("precision") << u"%.1f s"_qs << QVariantList{2.44} << u"2.4 s"_qs;
    QTest::newRow("percent") << u"100%% listo"_qs << QVariantList{} << u"100% listo"_qs;
    QTest::newRow("missing argument") << u"%lld y %lld"_qs << QVariantList{1} << u"1 y %lld"_qs;
    QTest::newRow("trailing percent") << u"50%"_qs << QVariantList{1} << u"50%"_qs;
    QTest::newRow("not a placeholder") << u"%z"_qs << QVariantList{1} << u"%z"_qs;
}

void TestLocalization::formatting()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QTEST(formatLocalizedString(format, arguments), "expected");
}

void TestLocalization::argumentsFillTheTranslatedText()
{
    QCOMPARE(localizedString("%lld", 12), u"12"_qs);
    QCOMPARE(localizedString("Quedan %lld páginas de %@", 3, u"guion"_qs),
             u"Quedan 3 páginas de guion"_qs);
}

void TestLocalization::numbersAreGroupedAsTheLanguageWritesThem_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("es, four digits") << u"es"_qs << qint64(2345) << u"2345"_qs;
    QTest::newRow("es, five digits") << u"es"_qs << qint64(12345) << u"12.345"_qs;
    QTest::newRow("es, one digit leads") << u"es"_qs << qint64(2345678) << u"2.345.678"_qs;
    QTest::newRow("es, negative") << u"es"_qs << qint64(-1234567) << u"-1.234.567"_qs;
    QTest::newRow("en, four digits") << u"en"_qs << qint64(2345) << u"2,345"_qs;
    QTest::newRow("en, one digit leads") << u"en"_qs << qint64(2345678) << u"2,345,678"_qs;
    QTest::newRow("en, three digits") << u"en"_qs << qint64(999) << u"999"_qs;
}

void TestLocalization::numbersAreGroupedAsTheLanguageWritesThem()
{
    QFETCH(QString, language);
    QFETCH(qint64, value);
    NotchSettings::shared().setAppLanguage(language);
    QTEST(localizedNumber(value), "expected");
}

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
