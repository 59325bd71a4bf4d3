#include "platform/languagedetector.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLanguageDetector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dominantLanguage_data();
    void dominantLanguage();
};

void TestLanguageDetector::dominantLanguage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("language"); // empty: none
    const auto row = [](const char *language, const QString &text) {
        QTest::newRow(language) << text << QString::fromLatin1(language);
    };
    row("en", u"Good morning everyone, thank you for joining us today."_s);
    row("es", u"Buenos días a todos, gracias por acompañarnos hoy."_s);
    row("fr", u"Bonjour à tous, merci d'être avec nous aujourd'hui."_s);
    row("de", u"Guten Morgen zusammen, danke, dass Sie heute dabei sind."_s);
    row("it", u"Buongiorno a tutti, grazie per essere qui oggi."_s);
    row("pt", u"Bom dia a todos, obrigado por estarem conosco hoje."_s);
    row("ja", u"皆さん、おはようございます。今日は新しい製品についてお話しします。"_s);
    // CLD2 is unsure of this one once the cues are gone; the categoriser decides.
    QTest::newRow("es with cues")
        << u"[Pausa] Hoy vamos a hablar del nuevo producto. [Mira al público] Empecemos."_s
        << u"es"_s;
    QTest::newRow("empty") << u""_s << u""_s;
    QTest::newRow("cues only") << u"[Pausa] [Mira al público]"_s << u""_s;
}

void TestLanguageDetector::dominantLanguage()
{
    QFETCH(QString, text);
    QFETCH(QString, language);
    QCOMPARE(LanguageDetector::system().dominantLanguage(text).value_or(QString()), language);
}

QTEST_GUILESS_MAIN(TestLanguageDetector)
#include "tst_languagedetector.moc"
