#include "common/notifications.h"
#include "common/speechfakes.h"
#include "settings/localization.h"
#include "speech/speechrecognizer.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

using Status = Permissions::Status;
using TestSupport::notifiedDuring;

namespace {

const QString script = u"Good morning everyone and thank you for joining us today"_qs;
// "Good morning everyone " up to "and".
constexpr int afterEveryone = 22;

QString microphoneDenied()
{
    return u"Microphone access denied. Open System Settings → Privacy & Security → Microphone to "
           u"allow Brivel."_qs;
}

QString speechDenied()
{
    return u"Speech recognition not authorized. Open System Settings → Privacy & Security → "
           u"Speech Recognition to allow Brivel."_qs;
}

QString microphoneWithdrawn()
{
    return localizedString("Se desactivó el acceso al micrófono. Abrí Ajustes del Sistema → "
                           "Privacidad y Seguridad → Micrófono para reactivarlo.");
}

QString speechWithdrawn()
{
    return localizedString("Se desactivó el reconocimiento de voz. Abrí Ajustes del Sistema → "
                           "Privacidad y Seguridad → Reconocimiento de Voz para reactivarlo.");
}

// A follower on fakes whose restarts run on the next event loop pass.
struct Follower
{
    Follower() { recognizer.setRestartDelayScale(0); }

    // Starts following with both permissions given.
    void listen(const QString &text = script)
    {
        recognizer.startListening(text);
        device.permissions.grantAll();
    }
    QTimer *pendingRestart() { return recognizer.findChild<QTimer *>(u"pendingRestart"_qs); }
    // Lets the scheduled restart happen; false when none was scheduled.
    bool runPendingRestart()
    {
        if (!pendingRestart()->isActive())
            return false;
        QSignalSpy fired(pendingRestart(), &QTimer::timeout);
        return fired.wait(5000);
    }
    FakeRecognitionTask *task() const { return device.engine.lastTask(); }
    FakeAudioInput *input() const { return device.audio.last(); }
    qsizetype sessions() const { return device.engine.tasks.size(); }

    FakeSpeechDevice device;
    SpeechRecognizer recognizer{device.services()};
};

std::vector<std::int16_t> constantBuffer(int frames, std::int16_t value)
{
    return std::vector<std::int16_t>(size_t(frames), value);
}

} // namespace

class TestSpeechSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructionAsksAndOpensNothing();
    void microphoneWithheldAtStart_data();
    void microphoneWithheldAtStart();
    void permissionAnswers_data();
    void permissionAnswers();
    void lateAnswerStartsNothing_data();
    void lateAnswerStartsNothing();
    void transcriptsMoveForwardOnly();
    void cueMarkersAreNotSpoken();
    void recognitionErrorsRestartWithGrowingDelays();
    void resultResetsTheRetryCount();
    void errorAfterStopRestartsNothing();
    void dismissedFollowerStopsOnErrorAndResumes();
    void earlierRunResultsAreDropped();
    void tornDownSessionResultsAreDropped();
    void setPosition_data();
    void setPosition();
    void inputLevels_data();
    void inputLevels();
    void levelWindowKeepsTheLatestThirty();
    void configurationChange_data();
    void configurationChange();
    void recognizerUnavailableOnlySetsTheError_data();
    void recognizerUnavailableOnlySetsTheError();
    void languageWithoutOnDeviceModel();
    void audioStartRetriesThenGivesUp_data();
    void audioStartRetriesThenGivesUp();
    void permissionsWithdrawnDuringUse_data();
    void permissionsWithdrawnDuringUse();
};

void TestSpeechSession::constructionAsksAndOpensNothing()
{
    Follower follower;
    QVERIFY(follower.device.permissions.microphoneRequests.isEmpty());
    QVERIFY(follower.device.permissions.speechRequests.isEmpty());
    QVERIFY(follower.device.audio.made.isEmpty());
    QVERIFY(follower.device.engine.requestedLocales.isEmpty());
}

void TestSpeechSession::microphoneWithheldAtStart_data()
{
    QTest::addColumn<Status>("status");
    QTest::newRow("denied") << Status::Denied;
    QTest::newRow("restricted") << Status::Restricted;
}

void TestSpeechSession::microphoneWithheldAtStart()
{
    QFETCH(Status, status);
    Follower follower;
    follower.device.permissions.microphone = status;
    follower.listen();
    QCOMPARE(follower.recognizer.error(), microphoneDenied());
    QCOMPARE(follower.device.permissions.microphonePanesOpened, 1);
    QVERIFY(follower.device.permissions.speechRequests.isEmpty());
    QVERIFY(follower.device.audio.made.isEmpty());
    QVERIFY(!follower.recognizer.isListening());
}

void TestSpeechSession::permissionAnswers_data()
{
    QTest::addColumn<Status>("microphoneStatus");
    QTest::addColumn<bool>("microphoneGranted");
    QTest::addColumn<Status>("speechAnswer");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("microphonePanes");
    QTest::addColumn<int>("speechPanes");

    QTest::newRow("microphone asked, refused")
        << Status::NotDetermined << false << Status::Authorized << microphoneDenied() << 0 << 0;
    QTest::newRow("microphone asked, granted")
        << Status::NotDetermined << true << Status::Authorized << QString() << 0 << 0;
    QTest::newRow("speech asked although allowed before")
        << Status::Authorized << true << Status::Authorized << QString() << 0 << 0;
    QTest::newRow("speech denied")
        << Status::Authorized << true << Status::Denied << speechDenied() << 0 << 1;
    QTest::newRow("speech restricted")
        << Status::Authorized << true << Status::Restricted << speechDenied() << 0 << 1;
    QTest::newRow("speech undecided")
        << Status::NotDetermined << true << Status::NotDetermined << speechDenied() << 0 << 1;
}

void TestSpeechSession::permissionAnswers()
{
    QFETCH(Status, microphoneStatus);
    QFETCH(bool, microphoneGranted);
    QFETCH(Status, speechAnswer);
    QFETCH(QString, error);
    QFETCH(int, microphonePanes);
    QFETCH(int, speechPanes);

    Follower follower;
    FakePermissions &permissions = follower.device.permissions;
    permissions.microphone = microphoneStatus;
    follower.recognizer.startListening(script);
    QCOMPARE(permissions.microphoneRequests.size(),
             qsizetype(microphoneStatus == Status::NotDetermined ? 1 : 0));
    if (microphoneStatus == Status::NotDetermined)
        permissions.answerMicrophone(microphoneGranted);
    QCOMPARE(permissions.speechRequests.size(), qsizetype(microphoneGranted ? 1 : 0));
    permissions.answerSpeech(speechAnswer);

    const bool started = error.isEmpty();
    QCOMPARE(follower.recognizer.error().value_or(QString()), error);
    QCOMPARE(permissions.microphonePanesOpened, microphonePanes);
    QCOMPARE(permissions.speechPanesOpened, speechPanes);
    QCOMPARE(follower.recognizer.isListening(), started);
    QCOMPARE(follower.device.audio.made.size(), qsizetype(started ? 1 : 0));
    if (started) {
        QVERIFY(follower.input()->isRunning());
        QCOMPARE(follower.task()->script, script);
        QCOMPARE(follower.device.engine.requestedLocales.last(), u"en_US"_qs);
    }
}

void TestSpeechSession::lateAnswerStartsNothing_data()
{
    QTest::addColumn<Status>("microphoneStatus");
    QTest::addColumn<bool>("positive");
    QTest::addColumn<bool>("newerRun");

    for (const bool newerRun : {false, true}) {
        const char *after = newerRun ? "after a newer run" : "after stop";
        for (const bool positive : {true, false}) {
            const char *answer = positive ? "yes" : "no";
            QTest::addRow("microphone %s %s", answer, after)
                << Status::NotDetermined << positive << newerRun;
            QTest::addRow("speech %s %s", answer, after)
                << Status::Authorized << positive << newerRun;
        }
    }
}

void TestSpeechSession::lateAnswerStartsNothing()
{
    QFETCH(Status, microphoneStatus);
    QFETCH(bool, positive);
    QFETCH(bool, newerRun);

    Follower follower;
    FakePermissions &permissions = follower.device.permissions;
    permissions.microphone = microphoneStatus;
    follower.recognizer.startListening(script);
    permissions.microphone = Status::Authorized;
    if (newerRun)
        follower.recognizer.startListening(u"A newer script"_qs);
    else
        follower.recognizer.stopListening();
    const qsizetype speechRequests = permissions.speechRequests.size();

    if (microphoneStatus == Status::NotDetermined)
        QVERIFY(permissions.answerMicrophone(positive));
    else
        QVERIFY(permissions.answerSpeech(positive ? Status::Authorized : Status::Denied));

    QCOMPARE(permissions.speechRequests.size(),
             speechRequests - (microphoneStatus == Status::NotDetermined ? 0 : 1));
    QVERIFY(follower.device.audio.made.isEmpty());
    QCOMPARE(follower.recognizer.error(), std::nullopt);
    QCOMPARE(permissions.speechPanesOpened, 0);
    QVERIFY(!follower.recognizer.isListening());
    if (newerRun) {
        // The newer run's own answer still starts it.
        permissions.grantAll();
        QCOMPARE(follower.sessions(), 1);
        QCOMPARE(follower.task()->script, u"A newer script"_qs);
    }
}

void TestSpeechSession::transcriptsMoveForwardOnly()
{
    Follower follower;
    follower.listen();
    follower.input()->feed(constantBuffer(1024, 100));
    QCOMPARE(follower.task()->appendedFrames, 1024);

    const QList<std::pair<QString, int>> steps{
        {u"good morning everyone"_qs, afterEveryone},
        {u"good morning"_qs, afterEveryone}, // a revised, shorter hypothesis
        {u"good morning everyone and thank you for joining us today and then some more"_qs,
         int(script.size())},
    };
    for (const auto &[transcript, expected] : steps) {
        follower.task()->hear(transcript);
        QCOMPARE(follower.recognizer.lastSpokenText(), transcript);
        QCOMPARE(follower.recognizer.recognizedCharCount(), expected);
    }
}

// The recogniser is biased to the words without the cues; a cue ends with its line.
void TestSpeechSession::cueMarkersAreNotSpoken()
{
    Follower follower;
    follower.listen(u"Hola [Mira al público] a todos\n[Pausa] fin [de\nlínea]"_qs);
    QCOMPARE(follower.task()->script, u"Hola a todos\nfin [de\nlínea]"_qs);
    follower.task()->hear(u"hola a todos"_qs);
    QCOMPARE(follower.recognizer.recognizedCharCount(), 39); // before "fin"
    follower.task()->hear(u"hola a todos fin"_qs);
    QCOMPARE(follower.recognizer.recognizedCharCount(), 43); // "[de" waits to be said
}

void TestSpeechSession::recognitionErrorsRestartWithGrowingDelays()
{
    Follower follower;
    follower.listen();
    follower.task()->hear(u"good morning everyone"_qs);

    for (int error = 1; error <= 10; ++error) {
        follower.task()->fail();
        QCOMPARE(follower.recognizer.retryCount(), error);
        QCOMPARE(follower.recognizer.lastRestartDelay(), std::min(error * 0.5, 1.5));
        QCOMPARE(follower.recognizer.matchStartOffset(), afterEveryone);
        QVERIFY(follower.runPendingRestart());
        QCOMPARE(follower.sessions(), error + 1);
        QVERIFY(follower.recognizer.isListening());
    }
    follower.task()->fail();
    QVERIFY(!follower.recognizer.isListening());
    QCOMPARE(follower.recognizer.error(), std::nullopt);
    QVERIFY(!follower.pendingRestart()->isActive());
    QCOMPARE(follower.recognizer.recognizedCharCount(), afterEveryone);
}

void TestSpeechSession::resultResetsTheRetryCount()
{
    Follower follower;
    follower.listen();
    for (int error = 0; error < 3; ++error) {
        follower.task()->fail();
        QVERIFY(follower.runPendingRestart());
    }
    QCOMPARE(follower.recognizer.lastRestartDelay(), 1.5);
    follower.task()->hear(u"good"_qs);
    QCOMPARE(follower.recognizer.retryCount(), 0);
    follower.task()->fail();
    QCOMPARE(follower.recognizer.lastRestartDelay(), 0.5);
}

void TestSpeechSession::errorAfterStopRestartsNothing()
{
    Follower follower;
    follower.listen();
    FakeRecognitionTask *task = follower.task();
    follower.recognizer.stopListening();
    QVERIFY(task->endedAudio && task->cancelled);
    QVERIFY(!follower.input()->isRunning());

    task->fail();
    QCOMPARE(follower.recognizer.retryCount(), 10);
    QVERIFY(follower.recognizer.sourceText().isEmpty());
    QVERIFY(!follower.pendingRestart()->isActive());
    QCOMPARE(follower.sessions(), 1);
}

void TestSpeechSession::dismissedFollowerStopsOnErrorAndResumes()
{
    Follower follower;
    follower.listen();
    follower.task()->hear(u"good morning everyone"_qs);
    follower.recognizer.setShouldDismiss(true);
    follower.task()->fail();
    QVERIFY(!follower.recognizer.isListening());
    QVERIFY(!follower.pendingRestart()->isActive());

    follower.recognizer.resumeListening();
    QVERIFY(!follower.recognizer.shouldDismiss());
    QVERIFY(follower.recognizer.isListening());
    QCOMPARE(follower.sessions(), 2);
    follower.task()->hear(u"and thank you"_qs);
    QCOMPARE(follower.recognizer.recognizedCharCount(), afterEveryone + 14);
}

void TestSpeechSession::earlierRunResultsAreDropped()
{
    Follower follower;
    follower.listen();
    FakeRecognitionTask *earlier = follower.task();
    follower.listen(u"Another script entirely"_qs);
    QCOMPARE(follower.sessions(), 2);

    const QStringList notified = notifiedDuring(follower.recognizer, [&] {
        earlier->hear(u"another script"_qs);
        earlier->fail();
    });
    QVERIFY2(notified.isEmpty(), qPrintable(notified.join(u", ")));
}

void TestSpeechSession::tornDownSessionResultsAreDropped()
{
    Follower follower;
    follower.listen();
    FakeRecognitionTask *first = follower.task();
    first->hear(u"good morning everyone"_qs);
    first->fail();
    QVERIFY(follower.runPendingRestart());
    QVERIFY(first->cancelled);

    // Matched again from the new start offset, the old transcript would move the count on.
    const QStringList notified = notifiedDuring(follower.recognizer, [&] {
        first->hear(u"good morning everyone and thank you"_qs);
        first->fail();
    });
    QVERIFY2(notified.isEmpty(), qPrintable(notified.join(u", ")));

    follower.task()->hear(u"and thank you"_qs);
    QCOMPARE(follower.recognizer.recognizedCharCount(), afterEveryone + 14);
}

void TestSpeechSession::setPosition_data()
{
    QTest::addColumn<bool>("listening");
    QTest::newRow("not listening") << false;
    QTest::newRow("listening") << true;
}

void TestSpeechSession::setPosition()
{
    QFETCH(bool, listening);
    // The third copy of the script starts at the position.
    const int position = 2 * (int(script.size()) + 1);
    Follower follower;
    follower.listen(QStringList(3, script).join(u' '));
    if (!listening)
        follower.recognizer.stopListening();
    FakeRecognitionTask *before = follower.task();

    follower.recognizer.setPosition(position);
    QCOMPARE(follower.recognizer.recognizedCharCount(), position);
    QCOMPARE(follower.recognizer.matchStartOffset(), position);
    QCOMPARE(follower.recognizer.retryCount(), 0);
    QCOMPARE(follower.pendingRestart()->isActive(), listening);
    QCOMPARE(follower.recognizer.isListening(), listening);
    if (!listening) {
        QCOMPARE(follower.sessions(), 1);
        return;
    }
    QCOMPARE(follower.recognizer.lastRestartDelay(), 0.5);
    QVERIFY(before->cancelled);
    QVERIFY(follower.runPendingRestart());
    QCOMPARE(follower.sessions(), 2);
    follower.task()->hear(u"good morning everyone"_qs);
    QCOMPARE(follower.recognizer.recognizedCharCount(), position + afterEveryone);
}

void TestSpeechSession::inputLevels_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("sample");
    QTest::addColumn<qreal>("level");

    QTest::newRow("zero frames") << 0 << 0 << 0.0;
    QTest::newRow("silence") << 1024 << 0 << 0.0;
    QTest::newRow("RMS 0.05") << 1024 << 1638 << 0.25;
    QTest::newRow("RMS 0.1, negative") << 1024 << -3277 << 0.5;
    QTest::newRow("RMS 0.2") << 1024 << 6554 << 1.0;
    QTest::newRow("full scale") << 512 << -32768 << 1.0;
}

void TestSpeechSession::inputLevels()
{
    QFETCH(int, frames);
    QFETCH(int, sample);
    QFETCH(qreal, level);
    Follower follower;
    follower.listen();
    follower.input()->feed(constantBuffer(1024, 32767)); // 1 at the end of the window
    follower.input()->feed(constantBuffer(frames, std::int16_t(sample)));

    const QList<qreal> levels = follower.recognizer.audioLevels();
    QCOMPARE(levels.size(), 30);
    QCOMPARE(levels.at(28), 1.0);
    QVERIFY2(qAbs(levels.last() - level) < 1e-3, qPrintable(QString::number(levels.last())));
}

void TestSpeechSession::levelWindowKeepsTheLatestThirty()
{
    Follower follower;
    follower.listen();
    QSignalSpy changed(&follower.recognizer, &SpeechRecognizer::audioLevelsChanged);
    for (int k = 1; k <= 40; ++k)
        follower.input()->feed(constantBuffer(256, std::int16_t(k * 100)));
    QCOMPARE(changed.count(), 40);
    const QList<qreal> levels = follower.recognizer.audioLevels();
    QCOMPARE(levels.size(), 30);
    QVERIFY(qAbs(levels.first() - 11 * 100 / 32768.0 * 5) < 1e-4);
    QVERIFY(std::is_sorted(levels.cbegin(), levels.cend()));
}

void TestSpeechSession::configurationChange_data()
{
    QTest::addColumn<bool>("following");
    QTest::newRow("following a script") << true;
    QTest::newRow("empty script") << false;
}

void TestSpeechSession::configurationChange()
{
    QFETCH(bool, following);
    Follower follower;
    follower.listen();
    follower.task()->hear(u"good morning everyone"_qs);
    if (!following) {
        follower.recognizer.stopListening();
        follower.recognizer.resumeListening();
    }
    FakeRecognitionTask *task = follower.task();
    follower.task()->fail(); // an error's restart is pending: the change replaces it
    if (following)
        QCOMPARE(follower.recognizer.retryCount(), 1);

    follower.input()->changeConfiguration();
    QCOMPARE(task->cancelled, following);
    QCOMPARE(follower.recognizer.isListening(), following);
    if (!following)
        return;
    QCOMPARE(follower.recognizer.retryCount(), 0);
    QCOMPARE(follower.recognizer.lastRestartDelay(), 0.5);
    QCOMPARE(follower.recognizer.matchStartOffset(), afterEveryone);
    QVERIFY(follower.runPendingRestart());
    QVERIFY(follower.input()->isRunning());
}

void TestSpeechSession::recognizerUnavailableOnlySetsTheError_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("taskStartError");

    for (const bool listening : {false, true}) {
        const char *state = listening ? "restarting" : "starting";
        QTest::addRow("%s, no recogniser", state) << listening << true << QString();
        QTest::addRow("%s, unavailable", state) << listening << false << QString();
        QTest::addRow("%s, no task", state) << listening << false << u"no model"_qs;
    }
}

void TestSpeechSession::recognizerUnavailableOnlySetsTheError()
{
    QFETCH(bool, listening);
    QFETCH(bool, missing);
    QFETCH(QString, taskStartError);
    Follower follower;
    if (listening) {
        follower.listen();
        follower.input()->changeConfiguration();
    } else {
        follower.recognizer.startListening(script);
    }

    auto &recognizers = follower.device.engine.recognizers;
    if (missing)
        recognizers.clear();
    else
        recognizers[u"en_US"_qs] = {!taskStartError.isEmpty(), true, taskStartError};
    const qsizetype sessions = follower.sessions();
    const QStringList notified = notifiedDuring(follower.recognizer, [&] {
        if (listening)
            QVERIFY(follower.runPendingRestart());
        else
            follower.device.permissions.grantAll();
    });
    QCOMPARE(notified, QStringList{u"error"_qs});
    QCOMPARE(follower.recognizer.error(), u"Speech recognizer not available"_qs);
    QCOMPARE(follower.recognizer.isListening(), listening);
    QCOMPARE(follower.sessions(), sessions);
    QVERIFY(!follower.pendingRestart()->isActive());
}

void TestSpeechSession::languageWithoutOnDeviceModel()
{
    Follower follower;
    follower.listen();
    follower.input()->changeConfiguration(); // listening while the restart is pending
    follower.device.engine.recognizers[u"en_US"_qs].onDevice = false;
    QVERIFY(follower.runPendingRestart());
    QCOMPARE(follower.recognizer.error(),
             localizedString("Este idioma no está disponible sin conexión. Abrí Ajustes del "
                             "Sistema → Teclado → Dictado para agregarlo."));
    QVERIFY(!follower.recognizer.isListening());
    QVERIFY(!follower.pendingRestart()->isActive());
}

void TestSpeechSession::audioStartRetriesThenGivesUp_data()
{
    QTest::addColumn<AudioInput::Format>("format");
    QTest::addColumn<QString>("startError");
    QTest::addColumn<QString>("error");

    QTest::newRow("no sample rate")
        << AudioInput::Format{0, 1} << QString() << u"Audio input unavailable"_qs;
    QTest::newRow("no channels") << AudioInput::Format{16000, 0} << QString()
                                 << u"Audio input unavailable"_qs;
    QTest::newRow("engine start fails") << AudioInput::Format{16000, 1} << u"Device busy"_qs
                                        << u"Audio engine failed: Device busy"_qs;
}

void TestSpeechSession::audioStartRetriesThenGivesUp()
{
    QFETCH(AudioInput::Format, format);
    QFETCH(QString, startError);
    QFETCH(QString, error);
    Follower follower;
    follower.device.audio.format = format;
    follower.device.audio.startError = startError;
    follower.listen();

    int restarts = 0;
    while (follower.recognizer.retryCount() > restarts) {
        QCOMPARE(follower.recognizer.lastRestartDelay(), 0.5);
        QCOMPARE(follower.recognizer.error(), std::nullopt);
        QVERIFY(follower.runPendingRestart());
        ++restarts;
    }
    QCOMPARE(restarts, 10);
    QCOMPARE(follower.recognizer.error(), error);
    QVERIFY(!follower.recognizer.isListening());
    QVERIFY(!follower.pendingRestart()->isActive());
    QCOMPARE(follower.device.audio.made.size(), 11);
}

void TestSpeechSession::permissionsWithdrawnDuringUse_data()
{
    QTest::addColumn<bool>("duringStart");
    QTest::addColumn<Status>("microphone");
    QTest::addColumn<Status>("speech");
    QTest::addColumn<QString>("error");

    for (const bool duringStart : {false, true}) {
        const char *when = duringStart ? "engine start" : "recognition error";
        QTest::addRow("%s, microphone denied", when)
            << duringStart << Status::Denied << Status::Authorized << microphoneWithdrawn();
        QTest::addRow("%s, microphone restricted", when)
            << duringStart << Status::Restricted << Status::Authorized << microphoneWithdrawn();
        QTest::addRow("%s, speech denied", when)
            << duringStart << Status::Authorized << Status::Denied << speechWithdrawn();
        QTest::addRow("%s, speech restricted", when)
            << duringStart << Status::Authorized << Status::Restricted << speechWithdrawn();
        QTest::addRow("%s, both", when)
            << duringStart << Status::Denied << Status::Denied << microphoneWithdrawn();
    }
}

void TestSpeechSession::permissionsWithdrawnDuringUse()
{
    QFETCH(bool, duringStart);
    QFETCH(Status, microphone);
    QFETCH(Status, speech);
    QFETCH(QString, error);
    Follower follower;
    FakePermissions &permissions = follower.device.permissions;
    follower.listen();
    follower.task()->hear(u"good morning everyone"_qs);
    FakeRecognitionTask *task = follower.task();

    permissions.microphone = microphone;
    permissions.speech = speech;
    if (duringStart) {
        follower.device.audio.startError = u"Device busy"_qs;
        follower.input()->changeConfiguration();
        QVERIFY(follower.runPendingRestart());
        task = follower.task();
    } else {
        task->fail();
    }
    QCOMPARE(follower.recognizer.error(), error);
    QVERIFY(!follower.recognizer.isListening());
    QVERIFY(task->cancelled);
    QVERIFY(!follower.input()->isRunning());
    QVERIFY(!follower.pendingRestart()->isActive());
    QCOMPARE(permissions.microphonePanesOpened + permissions.speechPanesOpened, 0);
    QCOMPARE(follower.recognizer.recognizedCharCount(), afterEveryone);
}

QTEST_GUILESS_MAIN(TestSpeechSession)
#include "tst_speechsession.moc"
