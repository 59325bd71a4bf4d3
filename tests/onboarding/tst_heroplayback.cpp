#include "onboarding/heroplayer.h"
#include "onboarding/onboardingwidget.h"
#include "platform/bundle.h"
#include "platform/mediabackend.h"
#include "settings/notchsettings.h"

#include <QAbstractButton>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString tinyClip = QStringLiteral(TEST_DATA_DIR "/onboarding/tiny.mp4");

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

int loopCount(const HeroPlayer &player)
{
    return player.property("loopCount").toInt();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The players on Qt Multimedia's real backend, with good clips and bad ones.
class TestHeroPlayback : public QObject
{
    Q_OBJECT

public:
    static void initMain() { chooseMediaBackend(); }

private Q_SLOTS:
    // The test clip and the first page's clip, a resource with spaces in its name, play and
    // give frames; the short clip loops by hand.
    void clipsPlayAndLoop()
    {
        const std::unique_ptr<HeroPlayer> tiny = MediaClips::player(tinyClip);
        QVERIFY(tiny);
        QSignalSpy tinyFrames(tiny.get(), &HeroPlayer::frameReady);
        tiny->restart();
        QTRY_VERIFY_WITH_TIMEOUT(!tinyFrames.isEmpty(), 5000);
        QCOMPARE(tinyFrames.first().first().value<QImage>().size(), QSize(64, 36));
        QTRY_VERIFY_WITH_TIMEOUT(loopCount(*tiny) >= 2, 5000);

        std::unique_ptr<HeroPlayer> page = MediaClips::fromBundle(u"Screen 3 Onboarding"_s);
        QVERIFY(page);
        QSignalSpy pageFrames(page.get(), &HeroPlayer::frameReady);
        page->restart();
        QTRY_VERIFY_WITH_TIMEOUT(!pageFrames.isEmpty(), 5000);
        QCOMPARE(pageFrames.first().first().value<QImage>().size(), QSize(720, 300));
        QVERIFY(!MediaClips::fromBundle(u"Screen 9 Onboarding"_s));
    }

    // Missing, empty, garbage and truncated files give no crash and no busy restarts; a clip
    // that is not YUV 4:2:0 still gives frames.
    void badClips()
    {
        QTemporaryDir dir;
        QByteArray random(64 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char &byte : random)
            byte = char(generator.generate());
        const QByteArray page = readFile(Bundle::main()->path() + u"/Screen 3 Onboarding.mp4");
        QVERIFY(page.size() > 8000);
        const QStringList bad{dir.filePath(u"missing.mp4"_s), writeFile(dir, u"empty.mp4"_s, {}),
                              writeFile(dir, u"random.mp4"_s, random),
                              writeFile(dir, u"truncated.mp4"_s, page.left(page.size() / 8))};
        std::vector<std::unique_ptr<HeroPlayer>> players;
        for (const QString &path : bad) {
            players.push_back(MediaClips::player(path));
            QVERIFY(players.back());
            players.back()->restart();
        }
        const std::unique_ptr<HeroPlayer> other
            = MediaClips::player(QStringLiteral(TEST_DATA_DIR "/onboarding/tiny-yuv444.mp4"));
        QSignalSpy otherFrames(other.get(), &HeroPlayer::frameReady);
        other->restart();
        QTest::qWait(2500);
        for (const auto &player : players)
            QVERIFY2(loopCount(*player) <= MediaClips::maximumQuickEnds + 1,
                     qPrintable(QString::number(loopCount(*player))));
        QVERIFY(!otherFrames.isEmpty());
        QCOMPARE(otherFrames.first().first().value<QImage>().size(), QSize(64, 36));
    }

    void yuvConversion()
    {
        const uchar y[4]{16, 235, 81, 81};
        const uchar u[1]{128};
        const uchar v[1]{128};
        const QImage grey = yuv420pToImage(y, 2, u, 1, v, 1, 2, 2);
        QCOMPARE(grey.pixelColor(0, 0), QColor(0, 0, 0));
        QCOMPARE(grey.pixelColor(1, 0), QColor(255, 255, 255));
        const uchar redU[1]{90};
        const uchar redV[1]{240};
        const QColor red = yuv420pToImage(y, 2, redU, 1, redV, 1, 2, 2).pixelColor(0, 1);
        QVERIFY2(red.red() > 245 && red.green() < 10 && red.blue() < 10, qPrintable(red.name()));
        QVERIFY(yuv420pToImage(y, 2, u, 1, v, 1, 0, 0).isNull());
    }

    // The real flow's players: three in the carousel, none once the onboarding is gone.
    void noPlayerOutlivesTheOnboarding()
    {
        {
            OnboardingWidget widget(NotchSettings::shared(), [] {});
            widget.resize(720, 560);
            widget.show();
            QCOMPARE(MediaClips::liveCount(), 0); // nothing before a language is chosen
            widget.findChild<QAbstractButton *>(u"beginButton"_s)->click();
            widget.findChild<QAbstractButton *>(u"language_es"_s)->click();
            QCOMPARE(MediaClips::liveCount(), 1);
            QTRY_COMPARE(MediaClips::liveCount(), 3);
            QTest::qWait(300);
        }
        QCOMPARE(MediaClips::liveCount(), 0);
    }
};

QTEST_MAIN(TestHeroPlayback)
#include "tst_heroplayback.moc"
