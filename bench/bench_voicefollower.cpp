#include "benchtext.h"
#include "processcpu.h"

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
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtNumeric>

#include <malloc.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <span>
#include <utility>
#include <vector>

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

// Scripts of the kinds that trouble a recogniser: figures and names, technical words, and
// multi-word cues the reader passes over in silence.
const QStringList &readingScripts()
{
    static const QStringList scripts{
        u"Good evening. On March 3rd, 2024, Mayor Linda Okafor told reporters in Duluth that "
        u"the city will spend $240 million on 17 new bridges. The council approved the plan 7 "
        u"to 2 at 10:30 last night. Prices rose 4.5% in February, the fastest pace since 1999. "
        u"Councillor Tomasz Wierzbicki called it the 2nd largest budget in the city's 150 year "
        u"history."_s,
        u"Our backend runs on Kubernetes with PostgreSQL and Redis behind an nginx gateway. "
        u"Each microservice exposes a gRPC endpoint, and we trace every request with "
        u"OpenTelemetry. Last sprint we moved the build to Bazel, cut the tail latency of the "
        u"checkout API, and replaced the old cron jobs with Temporal workflows. Next quarter we "
        u"will try WebAssembly plugins."_s,
        u"Welcome, everyone. [Mira al público] Thank you for being here tonight.\n"
        u"[Pause for applause] I want to begin with a short story about my grandmother.\n"
        u"[Look at camera two] She grew up on a farm near the river, and every morning she "
        u"walked to school. [Slow down here] That walk taught her patience, and she taught it "
        u"to me. [Smile and wait] So tonight, let us talk about patience."_s,
    };
    return scripts;
}

const char *const readingScriptNames[] = {"figures", "technical", "cues"};

QString speechCacheFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                           + u"/brivel-bench-speech"_s;
    QDir().mkpath(folder);
    return folder;
}

// Letters and numbers of a word, lower-cased: what a transcript word is compared by.
QString keyOf(const QString &word)
{
    QString key;
    for (const QChar c : word.toLower()) {
        if (c.isLetterOrNumber())
            key += c;
    }
    return key;
}

// Word error rate: word edits turning `heard` into `said`, per word said.
double wordErrorRate(const QStringList &said, const QStringList &heard)
{
    std::vector<int> row(size_t(heard.size()) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 0; i < said.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i) + 1;
        for (qsizetype j = 1; j <= heard.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = said[i] == heard[j - 1]
                                 ? diagonal
                                 : 1 + std::min({row[size_t(j - 1)], above, diagonal});
            diagonal = above;
        }
    }
    return said.isEmpty() ? 0.0 : double(row.back()) / double(said.size());
}

double median(std::vector<double> values)
{
    if (values.empty())
        return qQNaN();
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// What the reader says of a script, and where each spoken word ends in the follower's count.
struct SpokenScript
{
    // The script without its cues, as the reader says it.
    QString text;
    // Per spoken word: its key, the character offset just past it in the follower's text and
    // its first UTF-16 index in `text`.
    QStringList keys;
    std::vector<int> endOffsets;
    std::vector<qsizetype> textStarts;
};

SpokenScript spokenScriptOf(const QString &script)
{
    const TokenizedScript tokens = tokenizeScript(script);
    const QList<bool> cue = cueWords(tokens.words, tokens.lineBreaks);
    SpokenScript spoken;
    int offset = 0;
    for (qsizetype i = 0; i < tokens.words.size(); ++i) {
        const QString &word = tokens.words[i];
        const int end = offset + characterCount(word);
        offset = end + 1;
        const QString key = keyOf(word);
        if (cue[i] || key.isEmpty())
            continue;
        if (!spoken.text.isEmpty())
            spoken.text += tokens.lineBreaks.contains(int(i)) ? u'\n' : u' ';
        spoken.textStarts.push_back(spoken.text.size());
        spoken.text += word;
        spoken.keys.append(key);
        spoken.endOffsets.push_back(end);
    }
    return spoken;
}

// How well one reading was followed.
struct FollowedReading
{
    double reachedPercent = 0;
    double wordErrorRate = 0;
    int mostWordsAhead = 0;
    double medianDelaySeconds = qQNaN();
    double settleSeconds = qQNaN();
};

// A follower listening to one reading in real time, with each change of its count in seconds of
// audio heard.
class ReadingRun
{
public:
    ReadingRun(const QString &script, const SpokenScript &spoken, TestSupport::Reading reading,
               const QElapsedTimer *clock)
        : m_script(script)
        , m_spoken(spoken)
        , m_reading(std::move(reading))
        , m_clock(clock)
        , m_recognizer(SpeechServices{&SpeechEngine::system(), &LanguageDetector::system(),
                                      &Permissions::system(), [this] { return makeInput(); }})
    {
        QObject::connect(
            &m_recognizer, &SpeechRecognizer::recognizedCharCountChanged, &m_context,
            [this] { m_changes.emplace_back(audioSeconds(), m_recognizer.recognizedCharCount()); });
    }

    void start() { m_recognizer.startListening(m_script); }

    // Quiet for a few seconds after the audio: the decoder has nothing more to say.
    bool isDone() const
    {
        const double lastChange = m_changes.empty() ? 0.0 : m_changes.back().first;
        return m_audioEnded && audioSeconds() - std::max(lastChange, m_reading.seconds) > 4.0;
    }

    FollowedReading result()
    {
        FollowedReading result;
        result.reachedPercent = 100.0 * m_recognizer.recognizedCharCount()
                                / double(std::max<qsizetype>(1, m_recognizer.sourceText().size()));
        QStringList heard;
        for (const QString &word : m_recognizer.lastSpokenText().split(u' ', Qt::SkipEmptyParts))
            heard.append(keyOf(word));
        result.wordErrorRate = wordErrorRate(m_spoken.keys, heard);
        if (qEnvironmentVariableIsSet("BRIVEL_BENCH_TRANSCRIPTS"))
            qInfo("heard: %s", qPrintable(m_recognizer.lastSpokenText()));

        // The timing of each spoken word, found by its place in the text.
        std::vector<const TestSupport::SpokenWord *> timing(size_t(m_spoken.keys.size()), nullptr);
        for (const TestSupport::SpokenWord &word : m_reading.words) {
            const auto at = std::lower_bound(m_spoken.textStarts.begin(), m_spoken.textStarts.end(),
                                             word.textStart);
            // espeak-ng may report a word again after a pause; its first report counts.
            if (at != m_spoken.textStarts.end() && *at == word.textStart
                && !timing[size_t(at - m_spoken.textStarts.begin())])
                timing[size_t(at - m_spoken.textStarts.begin())] = &word;
        }
        for (const auto &[seconds, count] : m_changes) {
            int started = -1;
            int covered = -1;
            for (size_t i = 0; i < timing.size(); ++i) {
                if (timing[i] && timing[i]->startSeconds <= seconds)
                    started = int(i);
                if (m_spoken.endOffsets[i] <= count)
                    covered = int(i);
            }
            result.mostWordsAhead = std::max(result.mostWordsAhead, covered - started);
        }
        std::vector<double> delays;
        double speechEnd = 0;
        for (size_t i = 0; i < timing.size(); ++i) {
            if (!timing[i])
                continue;
            speechEnd = std::max(speechEnd, timing[i]->endSeconds);
            const auto covering
                = std::find_if(m_changes.begin(), m_changes.end(), [&](const auto &change) {
                      return change.second >= m_spoken.endOffsets[i];
                  });
            if (covering != m_changes.end())
                delays.push_back(covering->first - timing[i]->endSeconds);
        }
        result.medianDelaySeconds = median(delays);
        if (!m_changes.empty())
            result.settleSeconds = m_changes.back().first - speechEnd;
        m_recognizer.stopListening();
        return result;
    }

private:
    std::unique_ptr<AudioInput> makeInput()
    {
        auto input
            = std::make_unique<WavFileAudioInput>(m_reading.wav, WavFileAudioInput::Pace::RealTime);
        QObject::connect(input.get(), &WavFileAudioInput::finished, &m_context,
                         [this] { m_audioEnded = true; });
        // Like a microphone's, a buffer counts as delivered once its last sample was heard.
        QObject::connect(input.get(), &AudioInput::bufferAvailable, &m_context,
                         [this](std::span<const std::int16_t> samples) {
                             if (m_audioStartMs < 0)
                                 m_audioStartMs
                                     = m_clock->elapsed()
                                       - qint64(samples.size()) * 1000 / AudioInput::sampleRate;
                         });
        return input;
    }

    double audioSeconds() const
    {
        return m_audioStartMs < 0 ? 0.0 : double(m_clock->elapsed() - m_audioStartMs) / 1000.0;
    }

    const QString m_script;
    const SpokenScript m_spoken;
    const TestSupport::Reading m_reading;
    const QElapsedTimer *const m_clock;
    qint64 m_audioStartMs = -1;
    bool m_audioEnded = false;
    std::vector<std::pair<double, int>> m_changes;
    QObject m_context;
    SpeechRecognizer m_recognizer;
};

constexpr quint32 noiseSeeds[] = {11, 22, 33};

// Each voice reads each script once per noise seed, the three readings at once and in real time;
// the counters give the mean and the worst over the seeds.
void BM_FollowReading(benchmark::State &state)
{
    const QString voice = voices().at(int(state.range(0)));
    const QString script = readingScripts().at(int(state.range(1)));
    state.SetLabel(voice.toStdString() + " " + readingScriptNames[state.range(1)]);
    const SpokenScript spoken = spokenScriptOf(script);

    std::vector<TestSupport::Reading> readings;
    for (const quint32 seed : noiseSeeds) {
        QString error;
        readings.push_back(TestSupport::synthesiseReading(speechCacheFolder(), spoken.text, voice,
                                                          150, seed, &error));
        if (readings.back().wav.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }

    std::vector<FollowedReading> results;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<ReadingRun>> runs;
        for (const TestSupport::Reading &reading : readings)
            runs.push_back(std::make_unique<ReadingRun>(script, spoken, reading, &clock));
        for (const auto &run : runs)
            run->start();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (std::all_of(runs.begin(), runs.end(), [](const auto &run) { return run->isDone(); })
                || clock.elapsed() > 10 * 60 * 1000)
                loop.quit();
        });
        poll.start(50);
        loop.exec();
        results.clear();
        for (const auto &run : runs)
            results.push_back(run->result());
    }

    const auto report = [&](const std::string &name, auto field, bool higherIsWorse) {
        double sum = 0;
        double worst = higherIsWorse ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
        for (const FollowedReading &result : results) {
            const double value = double(result.*field);
            sum += value;
            worst = higherIsWorse ? std::max(worst, value) : std::min(worst, value);
        }
        state.counters[name + "_mean"] = sum / double(results.size());
        state.counters[name + "_worst"] = worst;
    };
    report("reached_pct", &FollowedReading::reachedPercent, false);
    report("wer", &FollowedReading::wordErrorRate, true);
    report("ahead_words", &FollowedReading::mostWordsAhead, true);
    report("delay_s", &FollowedReading::medianDelaySeconds, true);
    report("settle_s", &FollowedReading::settleSeconds, true);
    const auto [least, most]
        = std::minmax_element(results.begin(), results.end(), [](const auto &a, const auto &b) {
              return a.reachedPercent < b.reachedPercent;
          });
    state.counters["reached_spread"] = most->reachedPercent - least->reachedPercent;
}

// Follows a recording fed as fast as the decoder takes it, until a quiet spell after the audio
// ends (the decoder may still be catching up). `onPoll` sees the recogniser every `pollMs` and
// `onEnd` once before it stops; both also get the recording's length in minutes.
using FollowObserver = std::function<void(const SpeechRecognizer &, double audioMinutes)>;
void followAsFastAsPossible(const QString &wav, const QString &script, int pollMs,
                            const FollowObserver &onPoll, const FollowObserver &onEnd)
{
    bool audioEnded = false;
    double audioMinutes = 0;
    QObject context;
    const SpeechServices services{
        &SpeechEngine::system(), &LanguageDetector::system(), &Permissions::system(), [&] {
            auto input = std::make_unique<WavFileAudioInput>(
                wav, WavFileAudioInput::Pace::AsFastAsPossible);
            audioMinutes = double(input->samples().size()) / AudioInput::sampleRate / 60.0;
            QObject::connect(input.get(), &WavFileAudioInput::finished, &context,
                             [&] { audioEnded = true; });
            return input;
        }};
    SpeechRecognizer recognizer(services);
    QElapsedTimer clock;
    qint64 lastChangeMs = 0;
    QObject::connect(&recognizer, &SpeechRecognizer::recognizedCharCountChanged, &context,
                     [&] { lastChangeMs = clock.elapsed(); });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &context, [&] {
        if (onPoll)
            onPoll(recognizer, audioMinutes);
        if ((audioEnded && clock.elapsed() - lastChangeMs > 5000)
            || clock.elapsed() > 10 * 60 * 1000)
            loop.quit();
    });
    poll.start(pollMs);
    clock.start();
    recognizer.startListening(script);
    loop.exec();
    onEnd(recognizer, audioMinutes);
    recognizer.stopListening();
}

// Reads the plain script aloud, as fast as the decoder takes it, and reports how far the
// follower got.
void BM_FollowSpokenScript(benchmark::State &state)
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
    double audioSeconds = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        followAsFastAsPossible(
            wav, spokenScript(), 50, {},
            [&](const SpeechRecognizer &recognizer, double audioMinutes) {
                reachedShare = double(recognizer.recognizedCharCount())
                               / double(std::max<qsizetype>(1, recognizer.sourceText().size()));
                audioSeconds += audioMinutes * 60;
            });
    }
    // A follower that heard nothing, from a missing model or a silent input, measured nothing.
    if (reachedShare <= 0 || audioSeconds <= 0)
        state.SkipWithError("the follower recognised nothing");
    state.counters["reached_percent"] = 100.0 * reachedShare;
    // The real-time factor: every thread's CPU (the decoder runs on its own) per second heard.
    state.counters["process_cpu_s_per_audio_s"] = (processCpuSeconds() - cpuBefore) / audioSeconds;
}

// Resident memory of the process, in MB.
double residentMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return qQNaN();
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return qQNaN();
}

// Ten minutes of reading, fed as fast as the decoder takes it: the memory after the first
// minute and at the end must be the same. The figures are the growth over the reading alone:
// the process holds whatever the benchmarks before it left, and its allocator's free memory is
// handed back first so that the reading cannot hide its own growth in it.
void BM_MemoryOverLongReading(benchmark::State &state)
{
    QStringList script;
    for (int i = 0; i < 6; ++i)
        script.append(spokenScript());
    const QString text = script.join(u"\n"_s);
    QString error;
    const QString wav
        = TestSupport::synthesiseSpeech(speechCacheFolder(), text, u"en-us"_s, 150, &error);
    if (wav.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    double audioMinutes = 0;
    double atStart = qQNaN();
    double afterFirstMinute = qQNaN();
    double atEnd = qQNaN();
    double peak = 0;
    int reached = 0;
    for (auto _ : state) {
        ::malloc_trim(0);
        atStart = residentMegabytes();
        peak = atStart;
        followAsFastAsPossible(
            wav, text, 100,
            [&](const SpeechRecognizer &recognizer, double minutes) {
                audioMinutes = minutes;
                const double megabytes = residentMegabytes();
                peak = std::max(peak, megabytes);
                // The audio comes faster than it is decoded: the reading's progress tells the
                // time.
                if (qIsNaN(afterFirstMinute)
                    && recognizer.recognizedCharCount() * minutes >= recognizer.sourceText().size())
                    afterFirstMinute = megabytes;
            },
            [&](const SpeechRecognizer &recognizer, double minutes) {
                audioMinutes = minutes;
                atEnd = residentMegabytes();
                reached = recognizer.recognizedCharCount();
            });
    }
    state.counters["audio_min"] = audioMinutes;
    state.counters["rss_before_mb"] = atStart;
    state.counters["growth_1min_mb"] = afterFirstMinute - atStart;
    state.counters["growth_end_mb"] = atEnd - atStart;
    state.counters["growth_peak_mb"] = peak - atStart;
    state.counters["reached_chars"] = reached;
}

void eachVoice(benchmark::internal::Benchmark *b)
{
    b->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}

void eachVoiceAndScript(benchmark::internal::Benchmark *b)
{
    b->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}

} // namespace

// A transcript must cost the same on a page as on a book: matching reads only what it can reach.
BENCHMARK(BM_UpdateProgressFromMiddle)
    ->Arg(shortScriptSize)
    ->Arg(longScriptSize)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.2);
// Voices: 0 en-us, 1 en-us+m3, 2 en-us+f2; the audio carries microphone noise.
BENCHMARK(BM_FollowSpokenScript)->Apply(eachVoice);
// Scripts: 0 figures and names, 1 technical words, 2 multi-word cues. Takes the length of the
// speech, about 25 s per voice and script.
BENCHMARK(BM_FollowReading)->Apply(eachVoiceAndScript);
BENCHMARK(BM_MemoryOverLongReading)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
