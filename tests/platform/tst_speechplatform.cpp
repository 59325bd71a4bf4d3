#include "platform/audioinput.h"
#include "platform/linux/phonemizer.h"
#include "platform/linux/scriptlanguagemodel.h"
#include "platform/linux/spokennumbers.h"
#include "platform/linux/stablehypothesis.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"
#include "platform/wavfileaudioinput.h"

#include "common/files.h"
#include "common/speechaudio.h"

#include <QHash>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace {

// A phonemizer that never knows a word: only the dictionary counts.
QByteArray noPhonemizer(const QString &)
{
    return {};
}

const QString script = QStringLiteral(
    "Good morning everyone, and thank you for joining us today. This quarter our team "
    "shipped three new features and the number of active users grew by twenty percent. Next we "
    "will look at the plans for the coming year.");

QByteArray littleEndian16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray &id, const QByteArray &body, qsizetype declaredSize = -1)
{
    QByteArray bytes = id + littleEndian32(declaredSize < 0 ? body.size() : declaredSize) + body;
    if (body.size() % 2)
        bytes += '\0';
    return bytes;
}

QByteArray formatChunk(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 blockAlign = channels * bits / 8;
    QByteArray body = littleEndian16(tag) + littleEndian16(channels) + littleEndian32(rate)
                      + littleEndian32(rate * blockAlign) + littleEndian16(blockAlign)
                      + littleEndian16(bits);
    if (tag == 0xFFFE) // extensible: cbSize, valid bits, channel mask, sub-format GUID (PCM)
        body += littleEndian16(22) + littleEndian16(bits) + littleEndian32(0) + littleEndian16(1)
                + QByteArray(14, '\x11');
    return chunk("fmt ", body);
}

// Frames of `channels` interleaved constant values.
QByteArray dataChunk(int frames, QList<qint16> channelValues, qsizetype declaredSize = -1)
{
    QByteArray body;
    for (int frame = 0; frame < frames; ++frame) {
        for (const qint16 value : channelValues)
            body += littleEndian16(quint16(value));
    }
    return chunk("data", body, declaredSize);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + littleEndian32(4 + chunks.size()) + "WAVE" + chunks;
}

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

struct ArpaModel
{
    QList<qsizetype> declaredCounts;
    // n-gram text → (log10 probability, log10 backoff weight or 0)
    QList<QHash<QString, std::pair<double, double>>> ngrams;
};

ArpaModel parseArpa(const QByteArray &arpa)
{
    ArpaModel model;
    int order = 0;
    for (const QByteArray &rawLine : arpa.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line == u"\\data\\" || line == u"\\end\\")
            continue;
        if (line.startsWith(u"ngram ")) {
            model.declaredCounts.append(line.section(u'=', 1).toLongLong());
        } else if (line.startsWith(u'\\') && line.endsWith(u"-grams:")) {
            order = line.mid(1, 1).toInt();
            model.ngrams.resize(order);
        } else if (order > 0) {
            const QStringList fields = line.split(u' ');
            const QString ngram = fields.mid(1, order).join(u' ');
            const double backoff = fields.size() > order + 1 ? fields.last().toDouble() : 0.0;
            model.ngrams[order - 1].insert(ngram, {fields.first().toDouble(), backoff});
        }
    }
    return model;
}

} // namespace

class TestSpeechPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void wavFiles_data();
    void wavFiles();
    void realTimeAndFastFeedingDeliverTheSameSamples();

    void scriptSentences();
    void scriptLanguageModel();
    void scriptWithoutKnownWordsGivesNoModel();
    void wordsMissingFromTheDictionaryArePronounced();
    void phonemizerAgreesWithTheDictionary();
    void spokenNumbers_data();
    void spokenNumbers();
    void figuresAreEnteredAsWritten();
    void partialHypothesesPassOnOnlyStableWords();
    void awkwardScripts_data();
    void awkwardScripts();

    void recognizerPerLocale_data();
    void recognizerPerLocale();
    void decodesSynthesisedSpeech();
    void cancelStopsEveryEmission();
    void destroyingARunningTaskLeavesOthersRunning();
    void scriptWithoutKnownWordsListensForAnyWord();

    void microphoneWithoutDeviceFailsToStart();
    void permissionsAnswerLaterWhileTheContextLives();

private:
    QString writeTemporary(const QString &name, const QByteArray &bytes);
    QString speechFile();

    QTemporaryDir m_directory;
    QString m_speechFile;
};

void TestSpeechPlatform::initTestCase()
{
    QVERIFY(m_directory.isValid());
    // However the machine is set up, the microphone test sees no sound server.
    qputenv("PULSE_SERVER", "unix:/nonexistent/brivel-test");
}

QString TestSpeechPlatform::writeTemporary(const QString &name, const QByteArray &bytes)
{
    const QString path = m_directory.filePath(name);
    TestSupport::writeFile(path, bytes);
    return path;
}

QString TestSpeechPlatform::speechFile()
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

// A valid file gives `samples` samples all equal to `value`; an invalid one (samples = -1) is
// refused by start() with a description, and reports no format.
void TestSpeechPlatform::wavFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("value");

    const QByteArray monoFormat = formatChunk(1, 1, 16000, 16);
    const QByteArray monoData = dataChunk(2000, {1234});
    QTest::newRow("mono 16 kHz") << riff(monoFormat + monoData) << 2000 << 1234;
    QTest::newRow("chunks before the audio, odd ones padded")
        << riff(chunk("LIST", "INFOabc") + monoFormat + chunk("junk", "xyz") + monoData) << 2000
        << 1234;
    QTest::newRow("extensible PCM")
        << riff(formatChunk(0xFFFE, 1, 16000, 16) + monoData) << 2000 << 1234;
    // One second at 22050 Hz becomes one second at 16 kHz; left and right are averaged.
    QTest::newRow("stereo 22050 Hz")
        << riff(formatChunk(1, 2, 22050, 16) + dataChunk(22050, {1000, 3000})) << 16000 << 2000;
    QTest::newRow("mono 8 kHz doubled")
        << riff(formatChunk(1, 1, 8000, 16) + dataChunk(800, {-500})) << 1599 << -500;

    QTest::newRow("empty") << QByteArray() << -1 << 0;
    QTest::newRow("garbage") << QByteArray("This is not audio at all, just some text.") << -1 << 0;
    QTest::newRow("RIFF but not WAVE") << QByteArray("RIFF\x04\0\0\0AVI ", 12) << -1 << 0;
    QTest::newRow("header cut short") << riff(monoFormat).left(30) << -1 << 0;
    QTest::newRow("data cut short") << riff(monoFormat + monoData).left(1000) << -1 << 0;
    QTest::newRow("data size beyond the file")
        << riff(monoFormat + dataChunk(100, {1}, 0x7FFFFFF0)) << -1 << 0;
    QTest::newRow("8-bit") << riff(formatChunk(1, 1, 16000, 8) + monoData) << -1 << 0;
    QTest::newRow("float") << riff(formatChunk(3, 1, 16000, 32) + monoData) << -1 << 0;
    QTest::newRow("three channels")
        << riff(formatChunk(1, 3, 16000, 16) + dataChunk(100, {1, 2, 3})) << -1 << 0;
    QTest::newRow("data before format") << riff(monoData + monoFormat) << -1 << 0;
    QTest::newRow("no data") << riff(monoFormat + chunk("LIST", "INFO")) << -1 << 0;
    QTest::newRow("format chunk too short")
        << riff(chunk("fmt ", QByteArray("\x01\0\x01\0", 4)) + monoData) << -1 << 0;
}

void TestSpeechPlatform::wavFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, samples);
    QFETCH(int, value);

    WavFileAudioInput input(writeTemporary(QStringLiteral("input.wav"), file),
                            WavFileAudioInput::Pace::AsFastAsPossible);
    QString error;
    const bool started = input.start(&error);
    if (samples < 0) {
        QVERIFY(!started);
        QVERIFY(!error.isEmpty());
        QVERIFY(!input.isRunning());
        QCOMPARE(input.format().sampleRate, 0);
        QCOMPARE(input.format().channelCount, 0);
        return;
    }
    QVERIFY2(started, qPrintable(error));
    QCOMPARE(input.format().sampleRate, 16000);
    QCOMPARE(input.format().channelCount, 1);
    QCOMPARE(qsizetype(input.samples().size()), samples);
    for (const std::int16_t sample : input.samples())
        QCOMPARE(int(sample), value);
}

void TestSpeechPlatform::realTimeAndFastFeedingDeliverTheSameSamples()
{
    QByteArray body;
    for (int i = 0; i < 3000; ++i)
        body += littleEndian16(quint16(qint16(i * 7 - 10000)));
    const QString path = writeTemporary(QStringLiteral("ramp.wav"),
                                        riff(formatChunk(1, 1, 16000, 16) + chunk("data", body)));

    QList<std::vector<std::int16_t>> delivered;
    for (const auto pace :
         {WavFileAudioInput::Pace::RealTime, WavFileAudioInput::Pace::AsFastAsPossible}) {
        WavFileAudioInput input(path, pace);
        std::vector<std::int16_t> samples;
        connect(&input, &AudioInput::bufferAvailable, this,
                [&samples](std::span<const std::int16_t> buffer) {
                    QVERIFY(buffer.size() <= size_t(AudioInput::bufferFrames));
                    samples.insert(samples.end(), buffer.begin(), buffer.end());
                });
        QSignalSpy finished(&input, &WavFileAudioInput::finished);
        QVERIFY(input.start(nullptr));
        QVERIFY(samples.empty()); // delivered from the event loop, never inside start()
        QVERIFY(finished.wait(5000));
        QVERIFY(!input.isRunning());
        QCOMPARE(finished.count(), 1);
        delivered.append(samples);
    }
    QCOMPARE(delivered[0].size(), size_t(3000));
    QCOMPARE(delivered[0].back(), std::int16_t(2999 * 7 - 10000));
    QVERIFY(delivered[0] == delivered[1]);
}

void TestSpeechPlatform::scriptSentences()
{
    const QList<QStringList> expected = {
        {u"good"_qs, u"morning"_qs, u"it's"_qs, u"café"_qs, u"time"_qs},
        {u"say"_qs, u"hello"_qs, u"42"_qs},
        {u"bye"_qs},
    };
    QCOMPARE(
        ScriptLanguageModel::sentences(u"Good MORNING, it’s café-time!\n'Say' hello 42...\nBye"_qs),
        expected);
}

void TestSpeechPlatform::scriptLanguageModel()
{
    const QString dictionary = writeTemporary(
        QStringLiteral("small.dict"),
        "and AH N D\nand(2) AE N D\nend EH N D\ngood G UH D\nmorning M AO R N IH NG\n"
        "pause P AO Z\nthe DH AH\nthe(2) DH IY\n");
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"Good morning and good zorblax morning. The end! And the end."_qs, dictionary,
        noPhonemizer);

    QCOMPARE(model.words(),
             QStringList({u"and"_qs, u"end"_qs, u"good"_qs, u"morning"_qs, u"the"_qs}));
    QCOMPARE(model.dictionary(), QByteArray("and AH N D\nand(2) AE N D\nend EH N D\ngood G UH D\n"
                                            "morning M AO R N IH NG\nthe DH AH\nthe(2) DH IY\n"));

    const ArpaModel arpa = parseArpa(model.arpa());
    QCOMPARE(arpa.ngrams.size(), 3);
    QCOMPARE(arpa.declaredCounts, QList<qsizetype>({arpa.ngrams[0].size(), arpa.ngrams[1].size(),
                                                    arpa.ngrams[2].size()}));
    QCOMPARE(arpa.ngrams[0].size(), 7); // five words, <s> and </s>
    QVERIFY(!model.arpa().contains("zorblax"));
    // The dropped word leaves its neighbours adjacent.
    QVERIFY(arpa.ngrams[2].contains(u"and good morning"_qs));
    QCOMPARE(arpa.ngrams[0].value(u"<s>"_qs).first, -99.0);

    // Every history spreads exactly all probability: seen followers plus the backed-off rest.
    const auto probability = [](double log10Value) { return std::pow(10.0, log10Value); };
    QStringList predicted;
    double unigramTotal = 0;
    for (auto it = arpa.ngrams[0].cbegin(); it != arpa.ngrams[0].cend(); ++it) {
        if (it.key() != u"<s>") {
            predicted.append(it.key());
            unigramTotal += probability(it.value().first);
        }
    }
    QVERIFY(std::abs(unigramTotal - 1.0) < 1e-3);
    for (int order = 2; order <= 3; ++order) {
        QHash<QString, double> seenMass;
        QHash<QString, double> lowerMassOfSeen;
        for (auto it = arpa.ngrams[order - 1].cbegin(); it != arpa.ngrams[order - 1].cend(); ++it) {
            const QString history = it.key().section(u' ', 0, order - 2);
            const QString lower = it.key().section(u' ', 1);
            seenMass[history] += probability(it.value().first);
            lowerMassOfSeen[history] += probability(arpa.ngrams[order - 2].value(lower).first);
        }
        for (auto it = seenMass.cbegin(); it != seenMass.cend(); ++it) {
            const double backoff = probability(arpa.ngrams[order - 2].value(it.key()).second);
            double lowerTotal = 0;
            const QString lowerHistory = it.key().section(u' ', 1);
            for (const QString &word : std::as_const(predicted)) {
                const QString lower = lowerHistory.isEmpty() ? word : lowerHistory + u' ' + word;
                if (order == 2)
                    lowerTotal += probability(arpa.ngrams[0].value(lower).first);
                else if (arpa.ngrams[1].contains(lower))
                    lowerTotal += probability(arpa.ngrams[1].value(lower).first);
                else
                    lowerTotal += probability(arpa.ngrams[0].value(lowerHistory).second)
                                  * probability(arpa.ngrams[0].value(word).first);
            }
            const double total
                = it.value() + backoff * (lowerTotal - lowerMassOfSeen.value(it.key()));
            QVERIFY2(std::abs(total - 1.0) < 2e-3,
                     qPrintable(it.key() + u" sums to "_qs + QString::number(total)));
        }
    }
}

void TestSpeechPlatform::scriptWithoutKnownWordsGivesNoModel()
{
    const QString dictionary = writeTemporary(QStringLiteral("tiny.dict"), "hello HH AH L OW\n");
    const ScriptLanguageModel model
        = ScriptLanguageModel::build(u"Hola a todos. 1 2 3"_qs, dictionary, noPhonemizer);
    QVERIFY(model.isEmpty());
    QVERIFY(model.arpa().isEmpty());
    QVERIFY(model.dictionary().isEmpty());
}

// The dictionary's gaps are filled by espeak-ng; a word it can't pronounce is left out.
void TestSpeechPlatform::wordsMissingFromTheDictionaryArePronounced()
{
    const QString dictionary
        = writeTemporary(QStringLiteral("two.dict"), "good G UH D\nmorning M AO R N IH NG\n");
    const auto allButZorblax = [](const QString &word) {
        return word == u"zorblax" ? QByteArray() : espeakPronunciation(word);
    };
    const QString longWord(200, u'a');
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"Good zorblax morning, Kubernetes café. 世界 "_qs + longWord, dictionary, allButZorblax);
    QCOMPARE(model.words(), QStringList({u"café"_qs, u"good"_qs, u"kubernetes"_qs, u"morning"_qs}));
    QVERIFY(model.dictionary().contains("\nkubernetes K Y UW B ER N IY T S\n"));
    QVERIFY(model.arpa().contains("morning kubernetes"));

    QCOMPARE(modelPhonesFromEspeak("h_@_l_'oU w_'3:_l_d"), QByteArray("HH AH L OW W ER L D"));
    QCOMPARE(modelPhonesFromEspeak("h_Q"), QByteArray()); // a name without counterpart
    QCOMPARE(espeakPronunciation(longWord), QByteArray());
    QCOMPARE(espeakPronunciation(u"世界"_qs), QByteArray());
}

// Phones of espeak-ng's pronunciation that agree with the dictionary's closest one, over a
// sample of the dictionary's words.
void TestSpeechPlatform::phonemizerAgreesWithTheDictionary()
{
    QFile file(QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QHash<QString, QList<QStringList>> dictionary;
    while (!file.atEnd()) {
        const QStringList fields
            = QString::fromUtf8(file.readLine()).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() > 1)
            dictionary[fields[0].section(u'(', 0, 0)].append(
                fields.mid(1).join(u' ').simplified().split(u' '));
    }
    QStringList words = dictionary.keys();
    words.sort();
    const auto editDistance = [](const QStringList &a, const QStringList &b) {
        std::vector<int> row(size_t(b.size()) + 1);
        std::iota(row.begin(), row.end(), 0);
        for (qsizetype i = 0; i < a.size(); ++i) {
            int diagonal = row[0];
            row[0] = int(i) + 1;
            for (qsizetype j = 1; j <= b.size(); ++j) {
                const int above = row[size_t(j)];
                row[size_t(j)] = a[i] == b[j - 1]
                                     ? diagonal
                                     : 1 + std::min({row[size_t(j - 1)], above, diagonal});
                diagonal = above;
            }
        }
        return row.back();
    };
    qsizetype phones = 0;
    qsizetype agreeing = 0;
    int unpronounced = 0;
    int sampled = 0;
    for (qsizetype i = 0; i < words.size(); i += 20) {
        ++sampled;
        const QStringList spoken
            = QString::fromLatin1(espeakPronunciation(words[i])).split(u' ', Qt::SkipEmptyParts);
        if (spoken.isEmpty()) {
            ++unpronounced;
            continue;
        }
        int best = std::numeric_limits<int>::max();
        qsizetype length = 0;
        for (const QStringList &listed : dictionary.value(words[i])) {
            const int distance = editDistance(listed, spoken);
            if (distance < best) {
                best = distance;
                length = listed.size();
            }
        }
        phones += length;
        agreeing += std::max<qsizetype>(0, length - best);
    }
    const double agreement = double(agreeing) / double(phones);
    qInfo("espeak-ng against the dictionary: %.1f %% of %lld phones agree over %d words; %d words "
          "without a pronunciation",
          100.0 * agreement, phones, sampled, unpronounced);
    QVERIFY(agreement > 0.7);
    QVERIFY(unpronounced < sampled / 100);
}

void TestSpeechPlatform::spokenNumbers_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("forms"); // separated by "|"
    const auto row = [](const QString &token, const QString &forms) {
        QTest::newRow(token.toUtf8().constData()) << token << forms;
    };
    row(u"0"_qs, u"zero"_qs);
    row(u"13"_qs, u"thirteen"_qs);
    row(u"240"_qs, u"two hundred forty|two hundred and forty"_qs);
    row(u"1,000,005"_qs, u"one million five|one million and five"_qs);
    row(u"1999"_qs, u"nineteen ninety nine|nineteen hundred ninety nine|nineteen hundred and "
                    u"ninety nine|one thousand nine hundred ninety nine|one thousand nine hundred "
                    u"and ninety nine"_qs);
    row(u"2024"_qs, u"twenty twenty four|two thousand twenty four|two thousand and twenty four"_qs);
    row(u"2005"_qs, u"two thousand five|two thousand and five"_qs);
    row(u"1905"_qs, u"nineteen oh five|nineteen hundred five|nineteen hundred and five|"
                    u"one thousand nine hundred five|one thousand nine hundred and five"_qs);
    row(u"1990s"_qs, u"nineteen nineties"_qs);
    row(u"3rd"_qs, u"third"_qs);
    row(u"21st"_qs, u"twenty first"_qs);
    row(u"112th"_qs, u"one hundred twelfth"_qs);
    row(u"40th"_qs, u"fortieth"_qs);
    row(u"10:30"_qs, u"ten thirty"_qs);
    row(u"9:05"_qs, u"nine oh five"_qs);
    row(u"10:00"_qs, u"ten o'clock|ten"_qs);
    row(u"45%"_qs, u"forty five percent"_qs);
    row(u"4.5%"_qs, u"four point five percent"_qs);
    row(u"0.25"_qs, u"zero point two five|point two five"_qs);
    row(u"$240"_qs, u"two hundred forty dollars|two hundred and forty dollars|"
                    u"two hundred forty|two hundred and forty"_qs);
    row(u"$1"_qs, u"one dollar|one"_qs);
    row(u"$4.50"_qs, u"four dollars fifty|four fifty|four point five zero dollars|"
                     u"four point five zero"_qs);
    row(u"£3"_qs, u"three pounds|three"_qs);
    row(u"007"_qs, u"zero zero seven|oh oh seven"_qs);
    row(u"7,000,000,000,001"_qs, u"seven trillion one|seven trillion and one"_qs);
    // Not figures read that way.
    row(u"1000000000000000"_qs, QString());
    row(QString(10000, u'7'), QString());
    row(u"25:61"_qs, QString());
    row(u"3.5th"_qs, QString());
    row(u"1.2.3"_qs, QString());
    row(u"$"_qs, QString());
}

void TestSpeechPlatform::spokenNumbers()
{
    QFETCH(QString, token);
    QFETCH(QString, forms);
    QCOMPARE(spokenForms(token).join(u'|'), forms);
}

// A figure is one word of the model, written as in the script and pronounced as it is said.
void TestSpeechPlatform::figuresAreEnteredAsWritten()
{
    const QString dictionary
        = QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict");
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"It cost $240, at 10:30. 12345678901234567890 is 3rd"_qs, dictionary, noPhonemizer);
    QVERIFY(model.words().contains(u"$240"_qs));
    QVERIFY(!model.words().contains(u"12345678901234567890"_qs));
    QVERIFY2(
        model.dictionary().contains("$240 T UW HH AH N D R AH D F AO R T IY D AA L ER Z\n"
                                    "$240(2) T UW HH AH N D R AH D AH N D F AO R T IY D AA L ER Z\n"
                                    "$240(3) T UW HH AH N D R AH D F AO R T IY\n"
                                    "$240(4) T UW HH AH N D R AH D AH N D F AO R T IY\n"),
        model.dictionary().constData());
    QVERIFY(model.dictionary().contains("\n10:30 T EH N TH ER D IY\n"));
    QVERIFY(model.dictionary().contains("\n3rd TH ER D\n"));
    QVERIFY(model.arpa().contains(" cost $240 "));
}

void TestSpeechPlatform::partialHypothesesPassOnOnlyStableWords()
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

void TestSpeechPlatform::awkwardScripts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("only figures") << u"1 22 $3 4th 5:00 60% 1,000."_qs
                                  << QStringList{u"$3"_qs,  u"1"_qs,    u"1,000"_qs, u"22"_qs,
                                                 u"4th"_qs, u"5:00"_qs, u"60%"_qs};
    QTest::newRow("only names") << u"Okafor Wierzbicki Nguyen"_qs
                                << QStringList{u"nguyen"_qs, u"okafor"_qs, u"wierzbicki"_qs};
    QTest::newRow("brackets") << u"[[a]] [ ] [a b"_qs << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("a 10,000-digit number") << QString(10000, u'9') << QStringList();
    QTest::newRow("Latin with CJK")
        << u"Hello 世界 world"_qs << QStringList{u"hello"_qs, u"world"_qs};
    QTest::newRow("nothing to say") << u"— … ★"_qs << QStringList();
}

// Whatever the script, the model holds exactly the words that can be pronounced.
void TestSpeechPlatform::awkwardScripts()
{
    QFETCH(QString, script);
    QFETCH(QStringList, words);
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        script, QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict"));
    QCOMPARE(model.words(), words);
    QCOMPARE(model.isEmpty(), words.isEmpty());
    const QByteArray lines = '\n' + model.dictionary();
    for (const QString &word : std::as_const(words))
        QVERIFY(lines.contains(QByteArray('\n' + word.toUtf8() + ' ')));
}

void TestSpeechPlatform::recognizerPerLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("onDevice");

    QTest::newRow("US English, Debian's model") << u"en_US"_qs << true << true;
    QTest::newRow("Spanish, no model installed") << u"es_AR"_qs << true << false;
    QTest::newRow("unknown") << u"xx_YY"_qs << false << false;
}

void TestSpeechPlatform::recognizerPerLocale()
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

void TestSpeechPlatform::decodesSynthesisedSpeech()
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

void TestSpeechPlatform::cancelStopsEveryEmission()
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

void TestSpeechPlatform::destroyingARunningTaskLeavesOthersRunning()
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

void TestSpeechPlatform::scriptWithoutKnownWordsListensForAnyWord()
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

void TestSpeechPlatform::microphoneWithoutDeviceFailsToStart()
{
    const std::unique_ptr<AudioInput> microphone = AudioInput::createDefault();
    QCOMPARE(microphone->format().sampleRate, 0);
    QCOMPARE(microphone->format().channelCount, 0);
    QString error;
    QVERIFY(!microphone->start(&error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!microphone->isRunning());
}

void TestSpeechPlatform::permissionsAnswerLaterWhileTheContextLives()
{
    Permissions &permissions = Permissions::system();
    QCOMPARE(permissions.microphoneStatus(), Permissions::Status::Authorized);
    QCOMPARE(permissions.speechRecognitionStatus(), Permissions::Status::Authorized);

    QObject context;
    std::optional<bool> granted;
    std::optional<Permissions::Status> status;
    permissions.requestMicrophoneAccess(&context, [&granted](bool answer) { granted = answer; });
    permissions.requestSpeechRecognitionAuthorization(
        &context, [&status](Permissions::Status answer) { status = answer; });
    QVERIFY(!granted && !status);
    QTRY_VERIFY(granted && status);
    QCOMPARE(*granted, true);
    QCOMPARE(*status, Permissions::Status::Authorized);

    bool answered = false;
    auto *gone = new QObject;
    permissions.requestMicrophoneAccess(gone, [&answered](bool) { answered = true; });
    delete gone;
    QTest::qWait(50);
    QVERIFY(!answered);
}

QTEST_GUILESS_MAIN(TestSpeechPlatform)

#include "tst_speechplatform.moc"
