#include "platform/audioinput.h"
#include "platform/permissions.h"
#include "platform/wavfileaudioinput.h"

#include "common/files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <vector>

namespace {

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

} // namespace

// Where the voice follower's audio comes from: WAV files, the microphone and its permission.
class TestAudioInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void wavFiles_data();
    void wavFiles();
    void realTimeAndFastFeedingDeliverTheSameSamples();

    void microphoneWithoutDeviceFailsToStart();
    void permissionsAnswerLaterWhileTheContextLives();

private:
    QString writeTemporary(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_directory;
};

void TestAudioInput::initTestCase()
{
    QVERIFY(m_directory.isValid());
    // However the machine is set up, the microphone test sees no sound server.
    qputenv("PULSE_SERVER", "unix:/nonexistent/brivel-test");
}

QString TestAudioInput::writeTemporary(const QString &name, const QByteArray &bytes)
{
    const QString path = m_directory.filePath(name);
    TestSupport::writeFile(path, bytes);
    return path;
}

// A valid file gives `samples` samples all equal to `value`; an invalid one (samples = -1) is
// refused by start() with a description, and reports no format.
void TestAudioInput::wavFiles_data()
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

void TestAudioInput::wavFiles()
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

void TestAudioInput::realTimeAndFastFeedingDeliverTheSameSamples()
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

// The desktop's microphone, from its module, says there is no device: not that it is missing.
void TestAudioInput::microphoneWithoutDeviceFailsToStart()
{
    const std::unique_ptr<AudioInput> microphone = AudioInput::createDefault();
    QCOMPARE(microphone->format().sampleRate, 0);
    QCOMPARE(microphone->format().channelCount, 0);
    QString error;
    QVERIFY(!microphone->start(&error));
    QCOMPARE(error, u"No audio input device"_qs);
    QVERIFY(!microphone->isRunning());
}

void TestAudioInput::permissionsAnswerLaterWhileTheContextLives()
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

QTEST_GUILESS_MAIN(TestAudioInput)

#include "tst_audioinput.moc"
