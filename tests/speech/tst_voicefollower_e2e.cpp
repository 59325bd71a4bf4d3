#include "common/speechaudio.h"
#include "platform/languagedetector.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"
#include "platform/wavfileaudioinput.h"
#include "settings/localization.h"
#include "speech/speechrecognizer.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The follower on the real recogniser and language detection, listening to a synthesised voice
// through a WAV file in place of the microphone.
class TestVoiceFollowerEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsAnEnglishReading();
    void hearsFiguresAsTheScriptWritesThem();
    void spanishScriptIsNotAvailableOffline();

private:
    SpeechServices servicesListeningTo(const QString &wav) const
    {
        return {&SpeechEngine::system(), &LanguageDetector::system(), &Permissions::system(),
                [wav] {
                    return std::make_unique<WavFileAudioInput>(
                        wav, WavFileAudioInput::Pace::AsFastAsPossible);
                }};
    }

    QTemporaryDir m_audio;
};

void TestVoiceFollowerEndToEnd::followsAnEnglishReading()
{
    const QString script = u"Welcome back to the show. Today we talk about gardens in the city, "
                           u"how a small balcony can feed a family, and why tomatoes love the sun. "
                           u"First, let me tell you what happened in my own garden last spring."_qs;
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(m_audio.path(), script, u"en-us"_qs, 150, &error);
    QVERIFY2(!wav.isEmpty(), qPrintable(error));

    SpeechRecognizer recognizer(servicesListeningTo(wav));
    recognizer.startListening(script);
    // Most of it, not all: the first second of a fresh decoder is rough and the robotic voice
    // costs a word here and there.
    const int mostOfIt = int(recognizer.sourceText().size()) * 7 / 10;
    QTRY_VERIFY2_WITH_TIMEOUT(
        recognizer.recognizedCharCount() >= mostOfIt,
        qPrintable(u"reached %1 of %2 characters, last heard: %3"_qs.arg(
            QString::number(recognizer.recognizedCharCount()),
            QString::number(recognizer.sourceText().size()), recognizer.lastSpokenText())),
        60000);
    QVERIFY(recognizer.isListening());
    QCOMPARE(recognizer.error(), std::nullopt);
}

// Figures and names come back written as in the script, so the follower matches them.
void TestVoiceFollowerEndToEnd::hearsFiguresAsTheScriptWritesThem()
{
    const QString script = u"The city will spend $240 million on 17 new bridges, Mayor Okafor "
                           u"said at 10:30 last night. [Mira al público] Prices rose 4.5% in "
                           u"February."_qs;
    const QString spoken = u"The city will spend $240 million on 17 new bridges, Mayor Okafor "
                           u"said at 10:30 last night. Prices rose 4.5% in February."_qs;
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(m_audio.path(), spoken, u"en-us"_qs, 150, &error);
    QVERIFY2(!wav.isEmpty(), qPrintable(error));

    SpeechRecognizer recognizer(servicesListeningTo(wav));
    recognizer.startListening(script);
    const auto heard = [&recognizer] {
        const QStringList words = recognizer.lastSpokenText().split(u' ');
        return words.contains(u"$240"_qs) && words.contains(u"10:30"_qs)
               && words.contains(u"4.5%"_qs);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
        heard() && recognizer.recognizedCharCount() >= int(recognizer.sourceText().size()) * 9 / 10,
        qPrintable(recognizer.lastSpokenText()), 60000);
}

void TestVoiceFollowerEndToEnd::spanishScriptIsNotAvailableOffline()
{
    const QString script = u"Hola a todos. Hoy vamos a hablar del nuevo producto y de los planes "
                           u"para el año que viene."_qs;
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(m_audio.path(), script, u"es"_qs, 150, &error);
    QVERIFY2(!wav.isEmpty(), qPrintable(error));

    SpeechRecognizer recognizer(servicesListeningTo(wav));
    recognizer.startListening(script);
    QTRY_VERIFY_WITH_TIMEOUT(recognizer.error().has_value(), 30000);
    QCOMPARE(recognizer.error(),
             localizedString("Este idioma no está disponible sin conexión. Abrí Ajustes del "
                             "Sistema → Teclado → Dictado para agregarlo."));
    QVERIFY(!recognizer.isListening());
    QCOMPARE(recognizer.recognizedCharCount(), 0);
}

QTEST_GUILESS_MAIN(TestVoiceFollowerEndToEnd)
#include "tst_voicefollower_e2e.moc"
