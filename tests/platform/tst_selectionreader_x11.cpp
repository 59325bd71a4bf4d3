#include "common/xvfb.h"
#include "platform/selectionreader.h"
#include "x11otherclient.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using TestSupport::OtherClient;

// The selection read from its owner, however slow or large.
class TestSelectionReaderX11 : public TestSupport::OtherClientTest
{
    Q_OBJECT

private Q_SLOTS:
    void selectionIsReadWithoutWaitingOnItsOwner();
};

void TestSelectionReaderX11::selectionIsReadWithoutWaitingOnItsOwner()
{
    OtherClient &owner = *m_other;
    QVERIFY(owner.takePrimary());
    struct Reading
    {
        std::optional<QString> text;
        qint64 afterMs = 0;
        bool timerFired = false;
        bool timerFiredBefore = false;
    };
    const std::unique_ptr<SelectionReader> reader = SelectionReader::create();
    const auto read
        = [&](qsizetype maximumCodeUnits, const QByteArray &answer = {}, int ownerPauseMs = 5) {
              auto reading = std::make_shared<Reading>();
              QElapsedTimer clock;
              clock.start();
              QTimer timer;
              timer.setSingleShot(true);
              QObject::connect(&timer, &QTimer::timeout, &timer,
                               [reading] { reading->timerFired = true; });
              timer.start(50);
              reader->read(maximumCodeUnits, [reading, clock](const QString &text) {
                  reading->text = text;
                  reading->afterMs = clock.elapsed();
                  reading->timerFiredBefore = reading->timerFired;
              });
              for (QDeadlineTimer deadline(30'000); !reading->text && !deadline.hasExpired();) {
                  if (!answer.isNull())
                      owner.answer(answer);
                  QTest::qWait(ownerPauseMs);
              }
              return *reading;
          };

    // The event loop turns while the silent owner is waited for, and the clipboard answers.
    QGuiApplication::clipboard()->setText(u"copiado"_qs);
    Reading reading = read(1000);
    QCOMPARE(reading.text, u"copiado"_qs);
    QVERIFY(reading.timerFiredBefore);
    QVERIFY2(reading.afterMs < 2000, qPrintable(QString::number(reading.afterMs)));
    QGuiApplication::clipboard()->clear();
    reading = read(1000);
    QCOMPARE(reading.text, QString());
    QVERIFY2(reading.afterMs < 2000, qPrintable(QString::number(reading.afterMs)));

    // A large selection comes in increments, split inside its characters, however long they
    // take in all while each comes in time; past the limit it is cut.
    const QString large = u"ñandú "_qs.repeated(5000);
    QCOMPARE(read(1'000'000, large.toUtf8(), SelectionReader::ownerTimeoutMs / 20).text, large);
    QCOMPARE(read(1000, large.toUtf8()).text, large.first(1001));
    owner.latin1Only = true;
    QCOMPARE(read(1000, "caf\xe9 au lait").text, u"café au lait"_qs);
}

BRIVEL_XVFB_TEST_MAIN(TestSelectionReaderX11, true)

#include "tst_selectionreader_x11.moc"
