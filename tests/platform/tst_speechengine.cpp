#include "platform/audioinput.h"
#include "platform/linux/scriptlanguagemodel.h"
#include "platform/linux/stablehypothesis.h"
#include "platform/speechengine.h"
#include "platform/wavfileaudioinput.h"

#include "common/speechaudio.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

const QString script = QStringLiteral(
    "Good morning everyone, and thank you for joining us today. This quarter our team "
    "shipped three new features and the number of active users grew by twenty percent. Next we "
    "will look at the plans for the coming year.");

// Words of `reference` found in `transcript` in the same order (longest common subsequence).
qsizetype wordsHeard(const QStringList &reference, const QString &transcript)
{
    const QStringList heard = transcript.split(u' ', Qt::SkipEmptyParts);
    std::vector<qsizetype> previous(heard.size() + 1, 0);
    std::vector<qsizetype> current(heard.size() + 1, 0);
    for (const QString &word : reference) {
        for (qsizetype j = 1; j <= heard.size(); ++j)
            current[j] = word == heard[j - 1] ? previous[j - 1] + 1
                                              : std::max(previous[j], current[j - 1]);
        std::swap(previous, current);
    }
    return previous.back();
}

QStringList wordsOf(const QString &text)
{
    QStringList words;
    for (const QStringList &sentence : ScriptLanguageModel::sentences(text))
        words += sentence;
    return words;
}

} // namespace

// pocketsphinx following synthesised speech: per locale, through cancellations and teardown.
class TestSpeechEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void partialHypothesesPassOnOnlyStableWords();
    void recognizerPerLocale_data();
    void recognizerPerLocale();
    void decodesSynthesisedSpeech();
    void cancelStopsEveryEmission();
    void destroyingARunningTaskLeavesOthersRunning();
    void scriptWithoutKnownWordsListensForAnyWord();

private:
    QString speechFile();

    QTemporaryDir m_directory;
    QString m_speechFile;
};

void TestSpeechEngine::initTestCase()
{
    QVERIFY(m_directory.isValid());
}

QString TestSpeechEngine::speechFile()
{
    if (m_speechFile.isEmpty()) {
        QString error;
        m_speechFile = TestSupport::synthesiseSpeech(m_directory.path(), script,
                                                     QStringLiteral("en-us"), 150, &error);
        if (m_speechFile.isEmpty())
            qWarning("%s", qPrintable(error));
    }
    return m_speechFile;
}

void TestSpeechEngine::partialHypothesesPassOnOnlyStableWords()
{
    StableHypothesis stable;
    const QList<std::pair<QString, QString>> steps{
        {u"good"_qs, u""_qs},
        {u"good morning"_qs, u"good"_qs},
        {u"good morning to judy"_qs, u"good morning"_qs}, // a guess, dropped next time
        {u"good morning everyone"_qs, u"good morning"_qs},
        {u"good morning everyone"_qs, u"good morning everyone"_qs},
        {u"could morning everyone"_qs, u""_qs}, // a revision of the whole
    };
    for (const auto &[hypothesis, passed] : steps)
        QCOMPARE(stable.partial(hypothesis), passed);
    stable.reset();
    QCOMPARE(stable.partial(u"could morning everyone"_qs), u""_qs);
}

void TestSpeechEngine::recognizerPerLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("onDevice");

    QTest::newRow("US English, Debian's model") << u"en_US"_qs << true << true;
    QTest::newRow("Spanish, no model installed") << u"es_AR"_qs << true << false;
    QTest::newRow("unknown") << u"xx_YY"_qs << false << false;
}

void TestSpeechEngine::recognizerPerLocale()
{
    QFETCH(QString, locale);
    QFETCH(bool, known);
    QFETCH(bool, onDevice);

    const SpeechEngine &engine = SpeechEngine::system();
    QCOMPARE(engine.supportedLocales().contains(locale), known);
    const std::unique_ptr<SpeechRecognizerBackend> recognizer = engine.recognizer(locale);
    QCOMPARE(recognizer != nullptr, known);
    if (!recognizer)
        return;
    QVERIFY(recognizer->isAvailable());
    QCOMPARE(recognizer->supportsOnDeviceRecognition(), onDevice);
    if (!onDevice) {
        QString error;
        QVERIFY(!recognizer->startTask(script, &error));
        QVERIFY(!error.isEmpty());
    }
}

void TestSpeechEngine::decodesSynthesisedSpeech()
{
    const QString wav = speechFile();
    QVERIFY(!wav.isEmpty());
    QString error;
    const std::unique_ptr<SpeechRecognitionTask> task
        = SpeechEngine::system().recognizer(u"en_US"_qs)->startTask(script, &error);
    QVERIFY2(task, qPrintable(error));
    QSignalSpy transcripts(task.get(), &SpeechRecognitionTask::transcriptChanged);
    QSignalSpy failures(task.get(), &SpeechRecognitionTask::failed);

    WavFileAudioInput input(wav, WavFileAudioInput::Pace::AsFastAsPossible);
    connect(&input, &AudioInput::bufferAvailable, task.get(), &SpeechRecognitionTask::appendAudio);
    connect(&input, &WavFileAudioInput::finished, task.get(), &SpeechRecognitionTask::endAudio);
    QVERIFY(input.start(&error));

    const QStringList words = wordsOf(script);
    const auto latest = [&transcripts] {
        return transcripts.isEmpty() ? QString() : transcripts.last().first().toString();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(wordsHeard(words, latest()) >= words.size() * 7 / 10,
                              qPrintable(latest()), 30000);
    QCOMPARE(failures.count(), 0);
    for (qsizetype i = 1; i < transcripts.size(); ++i)
        QVERIFY(transcripts[i].first() != transcripts[i - 1].first());
}

void TestSpeechEngine::cancelStopsEveryEmission()
{
    const QString wav = speechFile();
    QVERIFY(!wav.isEmpty());
    const WavFileAudioInput input(wav);
    const std::unique_ptr<SpeechRecognitionTask> task
        = SpeechEngine::system().recognizer(u"en_US"_qs)->startTask(script, nullptr);
    QVERIFY(task);
    QSignalSpy transcripts(task.get(), &SpeechRecognitionTask::transcriptChanged);
    QSignalSpy failures(task.get(), &SpeechRecognitionTask::failed);

    // All the audio at once: the decoder is still busy and its results queued when cancel comes.
    task->appendAudio(input.samples());
    QVERIFY(transcripts.wait(10000));
    QThread::msleep(100); // lets results pile up undelivered
    task->cancel();
    const qsizetype heard = transcripts.count();
    task->appendAudio(input.samples());
    task->endAudio();
    QTest::qWait(1000);
    QCOMPARE(transcripts.count(), heard);
    QCOMPARE(failures.count(), 0);
}

void TestSpeechEngine::destroyingARunningTaskLeavesOthersRunning()
{
    const QString wav = speechFile();
    QVERIFY(!wav.isEmpty());
    const WavFileAudioInput input(wav);
    const std::unique_ptr<SpeechRecognizerBackend> recognizer
        = SpeechEngine::system().recognizer(u"en_US"_qs);
    std::unique_ptr<SpeechRecognitionTask> kept = recognizer->startTask(script, nullptr);
    std::unique_ptr<SpeechRecognitionTask> starting = recognizer->startTask(script, nullptr);
    std::unique_ptr<SpeechRecognitionTask> decoding = recognizer->startTask(script, nullptr);
    QVERIFY(kept && starting && decoding);
    QSignalSpy transcripts(kept.get(), &SpeechRecognitionTask::transcriptChanged);
    QSignalSpy decoded(decoding.get(), &SpeechRecognitionTask::transcriptChanged);

    starting.reset(); // while its decoder is still loading
    decoding->appendAudio(input.samples());
    QVERIFY(decoded.wait(10000));
    decoding.reset(); // mid-stream, results on their way

    kept->appendAudio(input.samples());
    kept->endAudio();
    const QStringList words = wordsOf(script);
    QTRY_VERIFY_WITH_TIMEOUT(!transcripts.isEmpty()
                                 && wordsHeard(words, transcripts.last().first().toString())
                                        >= words.size() * 7 / 10,
                             30000);
}

void TestSpeechEngine::scriptWithoutKnownWordsListensForAnyWord()
{
    const QString spoken = u"Good morning everyone. Thank you for joining us today."_qs;
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(m_directory.path(), spoken, u"en-us+f2"_qs, 150, &error);
    QVERIFY2(!wav.isEmpty(), qPrintable(error));
    const std::unique_ptr<SpeechRecognitionTask> task
        = SpeechEngine::system().recognizer(u"en_US"_qs)->startTask(u"— 世界 ★"_qs, &error);
    QVERIFY2(task, qPrintable(error));
    QSignalSpy transcripts(task.get(), &SpeechRecognitionTask::transcriptChanged);
    QSignalSpy failures(task.get(), &SpeechRecognitionTask::failed);
    const WavFileAudioInput input(wav);
    task->appendAudio(input.samples());
    task->endAudio();

    // The general model is far less sure of synthetic speech than a script's model.
    const QStringList words = wordsOf(spoken);
    QTRY_VERIFY_WITH_TIMEOUT(!transcripts.isEmpty()
                                 && wordsHeard(words, transcripts.last().first().toString()) >= 4,
                             30000);
    QCOMPARE(failures.count(), 0);
}

QTEST_GUILESS_MAIN(TestSpeechEngine)

#include "tst_speechengine.moc"
