#include "benchtext.h"

#include "common/speechaudio.h"
#include "common/speechfakes.h"
#include "platform/languagedetector.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"
#include "platform/wavfileaudioinput.h"
#include "settings/tokenizer.h"
#include "speech/speechrecognizer.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtNumeric>

#include <algorithm>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int shortScriptSize = 1'000;
constexpr int longScriptSize = 500'000;
constexpr int spokenWordCount = 20;

// A follower that has the script but never opens a session: permissions stay unanswered.
struct IdleFollower
{
    explicit IdleFollower(const QString &script) { recognizer.startListening(script); }

    FakeSpeechDevice device;
    SpeechRecognizer recognizer{device.services()};
};

// One transcript of what a reader said from the middle of the script.
void BM_UpdateProgressFromMiddle(benchmark::State &state)
{
    const QStringList words = tokenizeScript(BenchText::latinPage(int(state.range(0)))).words;
    const int middle = int(words.size()) / 2;
    const int position = charOffsetForWordProgress(words, std::numeric_limits<int>::max(), middle);
    const QString transcript = BenchText::spokenFromMiddle(words, spokenWordCount);

    IdleFollower follower(words.join(u' '));
    follower.recognizer.setPosition(position);
    for (auto _ : state) {
        follower.recognizer.setRecognizedCharCount(position);
        follower.recognizer.updateProgress(transcript);
    }
    const int advanced = follower.recognizer.recognizedCharCount() - position;
    state.counters["advanced"] = advanced;
    if (advanced <= 0)
        state.SkipWithError("the transcript moved the follower nowhere");
}

// About 300 words of plain talk, the kind of script a presenter reads.
const QString &spokenScript()
{
    static const QString script
        = u"Good morning everyone, and thank you for coming. Today I want to talk about how we "
          u"work together as a team, what we learned this year, and where we want to go next. "
          u"When we started this project, we were only five people in a small room with one "
          u"old table and a coffee machine that never worked. We had a simple idea. We wanted to "
          u"help people read their notes while they look at the camera, so that they can speak "
          u"to their audience and not to a piece of paper. The first version was slow and hard "
          u"to use, but our early users told us what they needed, and we listened. Over the "
          u"summer we rebuilt the reading screen from the ground up. We made the text larger, we "
          u"added a way to change the speed with the arrow keys, and we let the page follow the "
          u"voice of the person who is speaking. That last feature changed everything. People "
          u"stopped worrying about the pace and started to enjoy the talk. In the autumn we "
          u"opened the doors to schools and small companies. Teachers used it in their classes, "
          u"and many students recorded their first video with it. We also learned some hard "
          u"lessons. We shipped a few changes too quickly, and we had to take them back. We "
          u"found that clear and honest notes to our users matter more than new buttons. Next "
          u"year we want to make the app faster, support more languages, and work better on "
          u"small screens. We will also spend more time with the people who use it every day, "
          u"because they always show us the way. Before we finish, I want to thank every member "
          u"of the team for the long days and the good humour. Now let me take a few questions, "
          u"and then we will have lunch together in the garden."_s;
    return script;
}

const QStringList &voices()
{
    static const QStringList list{u"en-us"_s, u"en-us+m3"_s, u"en-us+f2"_s};
    return list;
}

QString speechCacheFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                           + u"/brivel-bench-speech"_s;
    QDir().mkpath(folder);
    return folder;
}

// Reads the script aloud to a follower on the real recogniser and reports how far it got, and
// how long after the end of the audio its count stopped moving.
void followSpokenScript(benchmark::State &state, WavFileAudioInput::Pace pace)
{
    const QString voice = voices().at(int(state.range(0)));
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(speechCacheFolder(), spokenScript(), voice, 150, &error);
    if (wav.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    state.SetLabel(voice.toStdString());

    double reachedShare = 0;
    double finalAfterAudioMs = 0;
    double audioSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 audioEndMs = -1;
        qint64 lastChangeMs = 0;
        QObject context;
        const SpeechServices services{
            &SpeechEngine::system(), &LanguageDetector::system(), &Permissions::system(), [&] {
                auto input = std::make_unique<WavFileAudioInput>(wav, pace);
                audioSeconds = double(input->samples().size()) / AudioInput::sampleRate;
                QObject::connect(input.get(), &WavFileAudioInput::finished, &context,
                                 [&] { audioEndMs = clock.elapsed(); });
                return input;
            }};
        SpeechRecognizer recognizer(services);
        QObject::connect(&recognizer, &SpeechRecognizer::recognizedCharCountChanged, &context,
                         [&] { lastChangeMs = clock.elapsed(); });

        QEventLoop loop;
        QTimer poll;
        // After the audio the decoder may still be catching up; a quiet spell of a few seconds
        // means it has nothing more to say.
        constexpr qint64 quietMs = 5000;
        QObject::connect(&poll, &QTimer::timeout, &context, [&] {
            const qint64 now = clock.elapsed();
            if (audioEndMs >= 0 && now - std::max(audioEndMs, lastChangeMs) > quietMs)
                loop.quit();
            if (now > 30 * 60 * 1000)
                loop.quit();
        });
        poll.start(50);
        clock.start();
        recognizer.startListening(spokenScript());
        loop.exec();

        reachedShare = double(recognizer.recognizedCharCount())
                       / double(std::max<qsizetype>(1, recognizer.sourceText().size()));
        // Negative when the count had settled before the last buffer went out.
        finalAfterAudioMs = audioEndMs < 0 ? qQNaN() : double(lastChangeMs - audioEndMs);
        recognizer.stopListening();
    }
    // A follower that heard nothing, from a missing model or a silent input, measured nothing.
    if (reachedShare <= 0)
        state.SkipWithError("the follower recognised nothing");
    state.counters["reached_percent"] = 100.0 * reachedShare;
    // Only meaningful when the audio comes at the pace it was spoken.
    if (pace == WavFileAudioInput::Pace::RealTime)
        state.counters["final_after_audio_ms"] = finalAfterAudioMs;
    state.counters["audio_s"] = audioSeconds;
}

void BM_FollowSpokenScript(benchmark::State &state)
{
    followSpokenScript(state, WavFileAudioInput::Pace::AsFastAsPossible);
}

void BM_FollowSpokenScriptRealTime(benchmark::State &state)
{
    followSpokenScript(state, WavFileAudioInput::Pace::RealTime);
}

void eachVoice(benchmark::internal::Benchmark *b)
{
    b->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}

} // namespace

// A transcript must cost the same on a page as on a book: matching reads only what it can reach.
BENCHMARK(BM_UpdateProgressFromMiddle)
    ->Arg(shortScriptSize)
    ->Arg(longScriptSize)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.2);
// Voices: 0 en-us, 1 en-us+m3, 2 en-us+f2. The real-time run takes the length of the speech.
BENCHMARK(BM_FollowSpokenScript)->Apply(eachVoice);
BENCHMARK(BM_FollowSpokenScriptRealTime)->Apply(eachVoice);
