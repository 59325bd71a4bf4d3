#include "common/notifications.h"
#include "speech/speechrecognizer.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QTimer *pendingRestart(SpeechRecognizer &recognizer)
{
    return recognizer.findChild<QTimer *>(u"pendingRestart"_qs);
}

using TestSupport::notifiedDuring;

} // namespace

class TestSpeechRecognizer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsIdle();
    void clientWritesNotifyOnlyRealChanges_data();
    void clientWritesNotifyOnlyRealChanges();
    void stopListeningWhenIdle();
    void stopListeningEndsARun();
    void tearDownSessionCancelsTheRestartOnly();
};

void TestSpeechRecognizer::startsIdle()
{
    SpeechRecognizer recognizer;
    QCOMPARE(recognizer.recognizedCharCount(), 0);
    QVERIFY(!recognizer.isListening());
    QCOMPARE(recognizer.error(), std::nullopt);
    QCOMPARE(recognizer.audioLevels(), QList<qreal>(30, 0.0));
    QVERIFY(!recognizer.shouldDismiss());
    QVERIFY(!recognizer.shouldAdvancePage());
    QCOMPARE(recognizer.retryCount(), 0);
    QCOMPARE(recognizer.sessionGeneration(), 0);
    QVERIFY(!pendingRestart(recognizer)->isActive());
}

void TestSpeechRecognizer::clientWritesNotifyOnlyRealChanges_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    const auto row = [](const char *property, const QVariant &value) {
        QTest::newRow(property) << QByteArray(property) << value;
    };
    row("recognizedCharCount", 120);
    row("isListening", true);
    row("lastSpokenText", u"hola a todos"_qs);
    row("shouldDismiss", true);
    row("shouldAdvancePage", true);
}

void TestSpeechRecognizer::clientWritesNotifyOnlyRealChanges()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    SpeechRecognizer recognizer;
    const QVariant initial = recognizer.property(property);

    QVariant stored;
    const QStringList notified = notifiedDuring(recognizer, [&] {
        recognizer.setProperty(property, value);
        recognizer.setProperty(property, value);
        stored = recognizer.property(property);
        recognizer.setProperty(property, initial);
    });
    QCOMPARE(stored, value);
    QCOMPARE(notified, QStringList(2, QString::fromLatin1(property)));
}

void TestSpeechRecognizer::stopListeningWhenIdle()
{
    SpeechRecognizer recognizer;
    QCOMPARE(notifiedDuring(recognizer, [&] { recognizer.stopListening(); }),
             QStringList{u"retryCount"_qs});
    QCOMPARE(recognizer.retryCount(), 10);
    QVERIFY(recognizer.sourceText().isEmpty());
    QVERIFY(!recognizer.isListening());
}

void TestSpeechRecognizer::stopListeningEndsARun()
{
    SpeechRecognizer recognizer;
    recognizer.setIsListening(true);
    recognizer.setRecognizedCharCount(42);
    pendingRestart(recognizer)->start(60'000);

    // Listening ends before the retry limit is raised, and the restart goes only after both.
    QStringList steps;
    const auto record = [&](const QString &step) {
        steps << step
                     + (pendingRestart(recognizer)->isActive() ? u" (restart pending)"_qs
                                                               : QString());
    };
    connect(&recognizer, &SpeechRecognizer::isListeningChanged, &recognizer,
            [&] { record(u"isListening"_qs); });
    connect(&recognizer, &SpeechRecognizer::retryCountChanged, &recognizer,
            [&] { record(u"retryCount"_qs); });
    recognizer.stopListening();

    QCOMPARE(steps, QStringList(
                        {u"isListening (restart pending)"_qs, u"retryCount (restart pending)"_qs}));
    QVERIFY(!pendingRestart(recognizer)->isActive());
    QVERIFY(!recognizer.isListening());
    QCOMPARE(recognizer.recognizedCharCount(), 42);
}

void TestSpeechRecognizer::tearDownSessionCancelsTheRestartOnly()
{
    SpeechRecognizer recognizer;
    recognizer.setIsListening(true);
    const QStringList notified = notifiedDuring(recognizer, [&] {
        recognizer.tearDownSession(); // nothing to release
        pendingRestart(recognizer)->start(60'000);
        recognizer.tearDownSession();
    });
    QVERIFY(notified.isEmpty());
    QVERIFY(!pendingRestart(recognizer)->isActive());
    QVERIFY(recognizer.isListening());
}

QTEST_GUILESS_MAIN(TestSpeechRecognizer)
#include "tst_speechrecognizer.moc"
