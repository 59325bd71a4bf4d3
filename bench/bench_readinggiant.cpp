// Pages and texts from outside whose words are giants or whose glyphs are costly to shape: flags
// and joined emoji in a colour font, one word of a million units, and long pages of emoji chat,
// Thai and Japanese. Each is read in the pinned panel as the program reads it, with the fonts a
// desktop has. Reported: start_ms, the main thread's work from the start of reading to the first
// frame with words (first_frame_ms adds the panel's designed wait before its words appear);
// key_ms, the longest ↓ with its frame; call_ms, the longest a call arriving on the session bus
// meanwhile waits for the main thread.

#include "benchtext.h"
#include "eventloop.h"

#include "common/overlayfakes.h"
#include "document/brivelservice.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/speechscrollview.h"
#include "platform/activewindow.h"
#include "platform/captureshield.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "settings/tokenizer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontDatabase>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <string>

namespace {

using namespace Qt::StringLiterals;

const QString flag = u"🇪🇸"_s;
const QString family = u"👨\u200D👩\u200D👧\u200D👦"_s;

QString repeated(const QString &piece, int count, const QString &separator = {})
{
    QString text;
    text.reserve(count * (piece.size() + separator.size()));
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += piece;
    }
    return text;
}

// Words picked from a vocabulary until the page holds `characters` characters; `joiner` goes
// between the words of a phrase, a space or a line break between phrases.
QString page(const QStringList &vocabulary, int characters, const QString &joiner, int phrase)
{
    QList<int> lengths;
    for (const QString &word : vocabulary)
        lengths.append(characterCount(word));
    BenchText::Lcg random;
    QString text;
    int count = 0;
    int inPhrase = 0;
    int phrasesInLine = 0;
    while (count < characters) {
        const int pick = int(random.next(std::uint32_t(vocabulary.size())));
        text += vocabulary[pick];
        count += lengths[pick];
        if (++inPhrase < phrase) {
            text += joiner;
            count += joiner.isEmpty() ? 0 : 1;
            continue;
        }
        inPhrase = 0;
        const bool lineEnds = ++phrasesInLine >= 6;
        text += lineEnds ? u'\n' : u' ';
        phrasesInLine = lineEnds ? 0 : phrasesInLine;
        ++count;
    }
    return text;
}

QString emojiChat()
{
    return page({u"hola"_s, u"😀"_s, u"qué"_s, u"tal"_s, u"👍🏽"_s, u"nos"_s, u"vemos"_s, flag,
                 u"mañana"_s, family, u"jaja"_s, u"😂😂😂"_s, u"❤️"_s, u"café"_s, u"🎉"_s,
                 u"👩🏾\u200D💻"_s, u"listo!"_s, u"🙏"_s},
                500'000, u" "_s, 9);
}

QString thai()
{
    return page({u"สวัสดี"_s,  u"ครับ"_s,  u"วันนี้"_s,  u"อากาศ"_s, u"ดี"_s,    u"มาก"_s,    u"เรา"_s,
                 u"จะ"_s,    u"ไป"_s,   u"ตลาด"_s, u"กัน"_s,    u"ไหม"_s,  u"ขอบคุณ"_s,  u"ที่"_s,
                 u"มา"_s,    u"ฟัง"_s,   u"เรื่อง"_s, u"ของ"_s,   u"ฉัน"_s,   u"ประเทศ"_s, u"ไทย"_s,
                 u"สวย"_s,   u"น้ำใจ"_s, u"คน"_s,   u"เมือง"_s,  u"ภาษา"_s, u"เขียน"_s,   u"อ่าน"_s,
                 u"หนังสือ"_s, u"พรุ่งนี้"_s, u"เช้า"_s,  u"ผู้ชม"_s},
                500'000, QString(), 5);
}

QString japanese()
{
    return page({u"今日は"_s,   u"天気が"_s,   u"いいですね"_s, u"私たちは"_s,   u"市場に"_s,
                 u"行きます"_s, u"日本語を"_s, u"読むのは"_s,   u"楽しい"_s,     u"です"_s,
                 u"明日の"_s,   u"朝"_s,       u"皆さん"_s,     u"ありがとう"_s, u"ございます"_s,
                 u"カメラを"_s, u"見て"_s,     u"ゆっくり"_s,   u"話します"_s,   u"。"_s,
                 u"、"_s},
                500'000, QString(), 8);
}

QString korean()
{
    return page({u"오늘은"_s, u"날씨가"_s, u"좋네요"_s, u"우리는"_s, u"시장에"_s, u"갑니다"_s,
                 u"한국어를"_s, u"읽는"_s, u"것은"_s, u"즐겁습니다"_s, u"내일"_s, u"아침"_s,
                 u"여러분"_s, u"감사합니다"_s, u"카메라를"_s, u"보고"_s, u"천천히"_s,
                 u"말합니다."_s},
                500'000, u" "_s, 8);
}

// The same length in plain ASCII, the measure the other scripts' starts are held to.
QString ascii()
{
    return page({u"the"_s, u"reader"_s, u"keeps"_s, u"looking"_s, u"at"_s, u"camera"_s, u"while"_s,
                 u"lines"_s, u"scroll"_s, u"by"_s, u"and"_s, u"every"_s, u"word"_s, u"arrives"_s,
                 u"on"_s, u"time"_s, u"pause."_s, u"story,"_s},
                500'000, u" "_s, 8);
}

struct GiantText
{
    QString text;
    // Text handed over on the session bus, rather than a page of the document.
    bool fromOutside = false;
    QStringList families;
};

GiantText giantText(int which)
{
    const QString emoji = u"Noto Color Emoji"_s;
    switch (which) {
    case 0:
        return {repeated(flag, 100'000), true, {emoji}};
    case 1:
        return {repeated(flag, 100'000, u" "_s), false, {emoji}};
    case 2:
        return {repeated(family, 100'000), true, {emoji}};
    case 3:
        return {repeated(u"a\u0301"_s, 499'000), false, {u"Noto Sans"_s}};
    case 4:
        return {emojiChat(), false, {emoji}};
    case 5:
        return {thai(), false, {u"Noto Sans Thai"_s}};
    case 6:
        return {japanese(), false, {u"Noto Sans CJK JP"_s}};
    case 7:
        return {korean(), false, {u"Noto Sans CJK KR"_s}};
    default:
        return {ascii(), false, {u"Noto Sans"_s}};
    }
}

// Calls queued to the main thread from another one every few milliseconds, as bus calls arrive
// from the socket: the longest time one waited is the longest stall of the main thread.
class CallProbe : public QObject
{
public:
    CallProbe()
    {
        m_clock.start();
        m_sender = QThread::create([this] {
            while (!m_stop) {
                const qint64 sent = m_clock.nsecsElapsed();
                QMetaObject::invokeMethod(
                    this,
                    [this, sent] {
                        m_longestWaitNs = std::max(m_longestWaitNs, m_clock.nsecsElapsed() - sent);
                    },
                    Qt::QueuedConnection);
                QThread::msleep(5);
            }
        });
        m_sender->start();
    }
    ~CallProbe() override
    {
        m_stop = true;
        m_sender->wait();
        delete m_sender;
        QCoreApplication::removePostedEvents(this);
    }
    double longestWaitMs() const { return double(m_longestWaitNs) / 1e6; }

private:
    QElapsedTimer m_clock;
    std::atomic<bool> m_stop = false;
    QThread *m_sender = nullptr;
    qint64 m_longestWaitNs = 0;
};

// Wall time, and the time the main thread worked: the panel's designed delays are not work.
class WorkClock
{
public:
    double elapsedMs() const { return double(m_clock.nsecsElapsed()) / 1e6; }
    double busyMs() const { return (threadCpuSeconds() - m_cpuStart) * 1e3; }

private:
    static double threadCpuSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    }

    QElapsedTimer m_clock = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    double m_cpuStart = threadCpuSeconds();
};

// Runs the event loop until the condition holds, or for at most `ms`.
template <typename Condition>
void runUntil(Condition condition, int ms)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_ReadingGiant(benchmark::State &state, int which, OverlayMode mode)
{
    const GiantText giant = giantText(which);
    for (const QString &needed : giant.families) {
        if (!QFontDatabase::hasFamily(needed)) {
            state.SkipWithError(QString(u"font missing: "_s + needed).toUtf8().constData());
            return;
        }
    }
    QString shown = giant.text;
    if (giant.fromOutside) {
        QString refusal;
        const std::optional<QString> accepted = BrivelService::acceptExternalText(shown, &refusal);
        if (!accepted) {
            state.SkipWithError("the text was refused");
            return;
        }
        shown = accepted->trimmed();
    }

    double startMs = 0, firstFrameMs = 0, keyMs = 0, callMs = 0;
    for (auto _ : state) {
        InMemoryKeyValueStore store;
        NotchSettings settings{store, CaptureShield::system(), u"es"_s};
        settings.setOverlayMode(mode);
        auto ownedKeys = std::make_unique<FakeGlobalHotKeys>();
        FakeGlobalHotKeys *keys = ownedKeys.get();
        NotchOverlayController controller{settings, Screens::system(), ActiveWindow::system(),
                                          CaptureShield::system(), std::move(ownedKeys)};
        CallProbe probe;

        WorkClock clock;
        controller.show(shown, false, !giant.fromOutside, [] {});
        controller.registerHotKeys();
        QPointer<SpeechScrollView> area
            = controller.panel() ? controller.panel()->findChild<SpeechScrollView *>() : nullptr;
        const auto wordsShown = [&area] {
            return area && area->isVisible() && area->layout().isLaidOut()
                   && area->layout().wordCount() > 0;
        };
        runUntil(wordsShown, 120'000);
        // On the full screen a page of one word is soon read, and the finished screen follows.
        const bool shownWords = wordsShown();
        if (area)
            area->repaint();
        startMs = clock.busyMs();
        firstFrameMs = clock.elapsedMs();
        // The panel finishes opening while the reader waits.
        runEventLoopFor(700);

        double longestKeyMs = 0;
        for (int press = 0; press < 4 && area; ++press) {
            QElapsedTimer key;
            key.start();
            keys->press(NotchOverlayController::arrowDownHotKey);
            keys->release(NotchOverlayController::arrowDownHotKey);
            area->repaint();
            longestKeyMs = std::max(longestKeyMs, double(key.nsecsElapsed()) / 1e6);
            runEventLoopFor(250);
        }
        keyMs = longestKeyMs;
        callMs = probe.longestWaitMs();
        state.SetIterationTime(startMs / 1e3);

        state.PauseTiming();
        const bool moved = controller.overlayContent().arrowScrollDelta() < 0;
        controller.dismiss();
        runEventLoopFor(500);
        state.ResumeTiming();
        if (!shownWords)
            state.SkipWithError("the panel did not show the words");
        else if (!moved)
            state.SkipWithError("↓ did not reach the panel");
    }
    state.counters["start_ms"] = startMs;
    state.counters["first_frame_ms"] = firstFrameMs;
    state.counters["key_ms"] = keyMs;
    state.counters["call_ms"] = callMs;
}
// Registered as BM_ReadingGiant/<case>. Texts from outside are read in every panel as well,
// which must answer the bus as the pinned one does.
const bool readingGiantRegistered = [] {
    const struct
    {
        const char *name;
        int which;
        OverlayMode mode;
    } cases[] = {{"flagsUnspaced", 0, OverlayMode::pinned},
                 {"flagsSpaced", 1, OverlayMode::pinned},
                 {"familyEmoji", 2, OverlayMode::pinned},
                 {"flagsUnspacedFloating", 0, OverlayMode::floating},
                 {"flagsUnspacedCursor", 0, OverlayMode::cursor},
                 {"flagsUnspacedFullscreen", 0, OverlayMode::fullscreen},
                 {"familyEmojiFloating", 2, OverlayMode::floating},
                 {"familyEmojiCursor", 2, OverlayMode::cursor},
                 {"familyEmojiFullscreen", 2, OverlayMode::fullscreen},
                 {"word998k", 3, OverlayMode::pinned},
                 {"emojiChat", 4, OverlayMode::pinned},
                 {"thai", 5, OverlayMode::pinned},
                 {"japanese", 6, OverlayMode::pinned},
                 {"korean", 7, OverlayMode::pinned},
                 {"ascii", 8, OverlayMode::pinned}};
    for (const auto &c : cases) {
        benchmark::RegisterBenchmark((std::string("BM_ReadingGiant/") + c.name).c_str(),
                                     BM_ReadingGiant, c.which, c.mode)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
