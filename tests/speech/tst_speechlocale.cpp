#include "speech/speechlocale.h"

#include "platform/languagedetector.h"
#include "platform/speechengine.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

class FakeBackend : public SpeechRecognizerBackend
{
public:
    explicit FakeBackend(bool onDevice)
        : m_onDevice(onDevice)
    {}
    bool isAvailable() const override { return true; }
    bool supportsOnDeviceRecognition() const override { return m_onDevice; }
    std::unique_ptr<SpeechRecognitionTask> startTask(const QString &, QString *) override
    {
        return nullptr;
    }

private:
    bool m_onDevice = false;
};

// Detects a fixed language. Locales are written "id:device" (recognised on the device),
// "id:remote" (a recogniser without on-device support) or "id:none" (listed, but no recogniser
// can be made), in the order the engine lists them.
class FakeDevice : public LanguageDetector, public SpeechEngine
{
public:
    FakeDevice(const QString &language, const QStringList &locales)
        : m_language(language)
        , m_locales(locales)
    {}
    std::optional<QString> dominantLanguage(const QString &) const override
    {
        return m_language.isEmpty() ? std::nullopt : std::optional(m_language);
    }
    QStringList supportedLocales() const override
    {
        QStringList identifiers;
        for (const QString &locale : m_locales)
            identifiers << locale.section(u':', 0, 0);
        return identifiers;
    }
    std::unique_ptr<SpeechRecognizerBackend> recognizer(const QString &localeId) const override
    {
        const qsizetype index = supportedLocales().indexOf(localeId);
        const QString kind = index < 0 ? u"none"_s : m_locales[index].section(u':', 1);
        return kind == u"none" ? nullptr : std::make_unique<FakeBackend>(kind == u"device");
    }

private:
    QString m_language;
    QStringList m_locales;
};

} // namespace

class TestSpeechLocale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void preferredSpeechLocale_data();
    void preferredSpeechLocale();
};

void TestSpeechLocale::preferredSpeechLocale_data()
{
    QTest::addColumn<QString>("detected"); // empty: nothing detected
    QTest::addColumn<QStringList>("locales");
    QTest::addColumn<QString>("expected");
    QTest::newRow("undetected, second Spanish region")
        << u""_s << QStringList{u"es_AR:remote"_s, u"es_ES:device"_s} << u"es_ES"_s;
    QTest::newRow("undetected, other Spanish locale")
        << u""_s << QStringList{u"en_US:device"_s, u"es_CL:device"_s} << u"es_CL"_s;
    QTest::newRow("undetected, nothing offline")
        << u""_s << QStringList{u"es_ES:remote"_s, u"es_MX:none"_s} << u"es_AR"_s;
    // The region table comes before the engine's own order.
    QTest::newRow("English, British model only")
        << u"en"_s << QStringList{u"en_ZA:device"_s, u"en_US:remote"_s, u"en_GB:device"_s}
        << u"en_GB"_s;
    QTest::newRow("French, no model")
        << u"fr"_s << QStringList{u"fr_CA:remote"_s, u"en_US:device"_s} << u"fr_FR"_s;
    QTest::newRow("French, Canadian model")
        << u"fr"_s << QStringList{u"fr_CA:device"_s} << u"fr_CA"_s;
    QTest::newRow("Japanese model") << u"ja"_s << QStringList{u"ja_JP:device"_s} << u"ja_JP"_s;
    QTest::newRow("Japanese, known without model")
        << u"ja"_s << QStringList{u"en_US:device"_s, u"ja_JP:remote"_s} << u"ja_JP"_s;
    QTest::newRow("Japanese unknown") << u"ja"_s << QStringList{u"en_US:device"_s} << u"es_AR"_s;
    QTest::newRow("Finnish is not Filipino")
        << u"fi"_s << QStringList{u"fil_PH:device"_s} << u"es_AR"_s;
    QTest::newRow("bare language identifier")
        << u"pt"_s << QStringList{u"ptx:device"_s, u"pt:device"_s} << u"pt"_s;
    QTest::newRow("Finnish beside Filipino")
        << u"fi"_s << QStringList{u"fil_PH:device"_s, u"fi-FI:remote"_s} << u"fi-FI"_s;
}

void TestSpeechLocale::preferredSpeechLocale()
{
    QFETCH(QString, detected);
    QFETCH(QStringList, locales);
    const FakeDevice device(detected, locales);
    QTEST(::preferredSpeechLocale(u"…"_s, device, device), "expected");
}

QTEST_GUILESS_MAIN(TestSpeechLocale)
#include "tst_speechlocale.moc"
