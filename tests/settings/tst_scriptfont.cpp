#include "platform/fonts.h"
#include "settings/scriptfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

class TestScriptFont : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sansIsTheSystemFontAtTheExactSize();
    void fractionalSizesKeepTheirPixels();
    void serifAndMonoUseTheirDesigns();
    void dyslexiaPrefersOpenDyslexic();
};

void TestScriptFont::sansIsTheSystemFontAtTheExactSize()
{
    const QFont f = font(FontFamilyPreset::sans, 16, QFont::DemiBold);
    QCOMPARE(f.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QCOMPARE(f.pixelSize(), 16);
    QCOMPARE(f.weight(), QFont::DemiBold);
    QCOMPARE(QFontInfo(f).pixelSize(), 16);
}

void TestScriptFont::fractionalSizesKeepTheirPixels()
{
    for (double size : {13.5, 20.25, 47.8}) {
        const QFont f = Fonts::systemFont(size, QFont::Normal);
        QVERIFY2(qAbs(Fonts::pixelSize(f) - size) < 1e-6, qPrintable(QString::number(size)));
        // What renders is the nearest whole pixel, never a size off by the dpi ratio.
        QVERIFY(qAbs(QFontInfo(f).pixelSize() - size) <= 1);
    }
}

void TestScriptFont::serifAndMonoUseTheirDesigns()
{
    const QString sans = QFontInfo(font(FontFamilyPreset::sans, 14, QFont::Normal)).family();

    const QFont mono = font(FontFamilyPreset::mono, 14, QFont::DemiBold);
    QVERIFY(QFontInfo(mono).fixedPitch());
    QCOMPARE(mono.weight(), QFont::DemiBold);
    QCOMPARE(QFontInfo(mono).pixelSize(), 14);

    const QFont serif = font(FontFamilyPreset::serif, 20, QFont::DemiBold);
    QCOMPARE(QFontInfo(serif).pixelSize(), 20);
    QCOMPARE(serif.weight(), QFont::DemiBold);
    if (Fonts::resolvedFamily(u"serif"_qs) == sans)
        QCOMPARE(serif.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    else
        QVERIFY(QFontInfo(serif).family() != sans);
}

void TestScriptFont::dyslexiaPrefersOpenDyslexic()
{
    const QFont f = font(FontFamilyPreset::dyslexia, 16, QFont::DemiBold);
    QCOMPARE(QFontInfo(f).pixelSize(), 16);
    if (Fonts::hasFamily(u"OpenDyslexic3"_qs)) {
        QCOMPARE(f.family(), u"OpenDyslexic3"_qs);
    } else if (Fonts::hasFamily(u"OpenDyslexic"_qs)) {
        QCOMPARE(QFontInfo(f).family(), u"OpenDyslexic"_qs);
        QCOMPARE(f.weight(), QFont::Normal); // the face's own weight
    } else {
        QCOMPARE(dyslexiaFamily(), QString());
        QCOMPARE(f.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        QCOMPARE(f.weight(), QFont::DemiBold);
    }
}

QTEST_MAIN(TestScriptFont)
#include "tst_scriptfont.moc"
