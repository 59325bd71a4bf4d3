#include "speechengine_pocketsphinx.h"

#include "platform/linux/scriptlanguagemodel.h"
#include "platform/linux/stablehypothesis.h"
#include "platform/logging.h"
#include "platform/runtimemodule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct LocaleModel
{
    const char16_t *localeId;
    // Laid out like Debian's English model: <folder>/<folder> holds the acoustic model, beside
    // <folder>.lm.bin and the dictionary.
    const char16_t *folder;
    const char16_t *dictionary;
};

// Only the English model is packaged for Debian; the others are the names a hand-installed model
// takes, and until one is there their scripts are told the language is not available offline.
constexpr LocaleModel localeModels[] = {
    {u"en_US", u"en-us", u"cmudict-en-us.dict"}, {u"es_AR", u"es-es", u"es-es.dict"},
    {u"es_ES", u"es-es", u"es-es.dict"},         {u"es_MX", u"es-es", u"es-es.dict"},
    {u"fr_FR", u"fr-fr", u"fr-fr.dict"},         {u"de_DE", u"de-de", u"de-de.dict"},
    {u"it_IT", u"it-it", u"it-it.dict"},         {u"pt_BR", u"pt-br", u"pt-br.dict"},
};

constexpr int sampleRate = 16000;
// Audio is decoded in steps of this size however it was appended, so partial results, pause
// detection and cancellation keep the pace of a microphone's buffers.
constexpr size_t decodeStepSamples = 1024;
// The decoder keeps up with real time many times over; this only bounds a stalled one.
constexpr qsizetype maxQueuedSamples = qsizetype(sampleRate) * 600;
// Ending utterances keeps the decoder's search state small over a long reading; a reader who
// never pauses still gets a new utterance this often.
constexpr qsizetype maxUtteranceSamples = qsizetype(sampleRate) * 30;

struct ModelFiles
{
    QString acousticModel;
    QString genericLanguageModel;
    QString dictionary;

    bool isInstalled() const
    {
        return QFileInfo(acousticModel + u"/mdef"_qs).isFile()
               && QFileInfo(genericLanguageModel).isFile() && QFileInfo(dictionary).isFile();
    }
};

ModelFiles modelFiles(const LocaleModel &model)
{
    const QString name = QString::fromUtf16(model.folder);
    const QString folder = QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR) + u'/' + name;
    return {folder + u'/' + name, folder + u'/' + name + u".lm.bin"_qs,
            folder + u'/' + QString::fromUtf16(model.dictionary)};
}

// The decoder's libraries, with the linear algebra they bring, come with the first decoder
// rather than with the program: linked, they cost every start-up several milliseconds.
struct DecoderLibrary
{
    decltype(&err_set_logfp) setLogFile = nullptr;
    decltype(&cmd_ln_init) initConfig = nullptr;
    decltype(&cmd_ln_free_r) freeConfig = nullptr;
    decltype(&ps_args) arguments = nullptr;
    decltype(&ps_init) init = nullptr;
    decltype(&ps_free) free = nullptr;
    decltype(&ps_start_utt) startUtterance = nullptr;
    decltype(&ps_end_utt) endUtterance = nullptr;
    decltype(&ps_process_raw) processRaw = nullptr;
    decltype(&ps_get_hyp) hypothesis = nullptr;
    decltype(&ps_get_in_speech) inSpeech = nullptr;
};

// The libraries the headers describe; null when they cannot be loaded, with the reason logged.
const DecoderLibrary *decoderLibrary()
{
    static const std::optional<DecoderLibrary> library = []() -> std::optional<DecoderLibrary> {
        RuntimeModule base = RuntimeModule::system(SPHINXBASE_SONAME);
        RuntimeModule decoder = base.isLoaded() ? RuntimeModule::system(POCKETSPHINX_SONAME) : base;
        DecoderLibrary api;
        const bool complete = base.resolve(api.setLogFile, "err_set_logfp")
                              && base.resolve(api.initConfig, "cmd_ln_init")
                              && base.resolve(api.freeConfig, "cmd_ln_free_r")
                              && decoder.resolve(api.arguments, "ps_args")
                              && decoder.resolve(api.init, "ps_init")
                              && decoder.resolve(api.free, "ps_free")
                              && decoder.resolve(api.startUtterance, "ps_start_utt")
                              && decoder.resolve(api.endUtterance, "ps_end_utt")
                              && decoder.resolve(api.processRaw, "ps_process_raw")
                              && decoder.resolve(api.hypothesis, "ps_get_hyp")
                              && decoder.resolve(api.inSpeech, "ps_get_in_speech");
        if (!complete) {
            const QString &reason
                = decoder.errorString().isEmpty() ? base.errorString() : decoder.errorString();
            qCWarning(lcPlatform, "Cannot load the speech decoder: %ls", qUtf16Printable(reason));
            return std::nullopt;
        }
        // The decoder's log is pages of INFO lines. Pointing -logfn at /dev/null would reopen
        // the one process-wide log file at every decoder start, under the feet of decoders on
        // other threads; switching logging off once avoids that.
        api.setLogFile(nullptr);
        return api;
    }();
    return library ? &*library : nullptr;
}

struct Decoder
{
    explicit Decoder(const DecoderLibrary &library)
        : api(library)
    {}
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;
    ~Decoder()
    {
        if (decoder)
            api.free(decoder);
        if (config)
            api.freeConfig(config);
    }

    const DecoderLibrary &api;
    cmd_ln_t *config = nullptr;
    ps_decoder_t *decoder = nullptr;
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class PocketSphinxRecognitionTask : public SpeechRecognitionTask
{
public:
    PocketSphinxRecognitionTask(ModelFiles model, QString script)
        : m_model(std::move(model))
        , m_script(std::move(script))
    {}

    ~PocketSphinxRecognitionTask() override { cancel(); }

    void start()
    {
        m_worker = std::thread([this] { decode(); });
    }

    void appendAudio(std::span<const std::int16_t> samples) override
    {
        if (samples.empty())
            return;
        {
            const std::lock_guard lock(m_mutex);
            if (m_audioEnded || m_cancelled)
                return;
            m_queue.emplace_back(samples.begin(), samples.end());
            m_queuedSamples += qsizetype(samples.size());
            while (m_queuedSamples > maxQueuedSamples && m_queue.size() > 1) {
                if (!m_warnedAboutBacklog)
                    qCWarning(lcPlatform) << "Speech decoding fell behind; dropping audio";
                m_warnedAboutBacklog = true;
                m_queuedSamples -= qsizetype(m_queue.front().size());
                m_queue.pop_front();
            }
        }
        m_wake.notify_one();
    }

    void endAudio() override
    {
        {
            const std::lock_guard lock(m_mutex);
            m_audioEnded = true;
        }
        m_wake.notify_one();
    }

    void cancel() override
    {
        // Results the worker posted before are still queued for this object; they are dropped.
        m_stopped = true;
        {
            const std::lock_guard lock(m_mutex);
            m_cancelled = true;
            m_queue.clear();
            m_queuedSamples = 0;
        }
        m_wake.notify_one();
        // The worker checks the flag between steps of 64 ms of audio and between the steps of
        // loading its model, so this is short.
        if (m_worker.joinable())
            m_worker.join();
    }

private:
    // Everything below runs on the worker thread.

    // Null on failure, with the reason, or when cancelled meanwhile: the steps are checked in
    // between, so cancel() waits for one step at most (0.3 s for a 500,000-character script).
    std::unique_ptr<Decoder> createDecoder(QString *errorDescription)
    {
        const DecoderLibrary *const library = decoderLibrary();
        if (!library) {
            *errorDescription = u"Could not load the speech decoder"_qs;
            return nullptr;
        }
        const ScriptLanguageModel script = ScriptLanguageModel::build(m_script, m_model.dictionary);
        if (m_cancelled)
            return nullptr;
        // Without a single known word the script can't bias anything: the general model listens
        // for every English word, at the cost of a slower start.
        QString languageModelPath = m_model.genericLanguageModel;
        QString dictionaryPath = m_model.dictionary;
        // The decoder reads the files while it starts, so they may go as soon as it has.
        std::optional<QTemporaryDir> files;
        if (!script.isEmpty()) {
            files.emplace(QDir::tempPath() + u"/brivel-speech-XXXXXX"_qs);
            languageModelPath = files->filePath(u"script.lm"_qs);
            dictionaryPath = files->filePath(u"script.dict"_qs);
            if (!files->isValid() || !writeFile(languageModelPath, script.arpa())
                || !writeFile(dictionaryPath, script.dictionary())) {
                *errorDescription = u"Could not write the speech model for this script"_qs;
                return nullptr;
            }
        }
        if (m_cancelled)
            return nullptr;
        auto decoder = std::make_unique<Decoder>(*library);
        // A quarter second of silence ends an utterance, so utterances follow the pauses between
        // sentences, as the model's sentences do (the default half second rarely triggers).
        decoder->config = library->initConfig(
            nullptr, library->arguments(), TRUE, "-hmm",
            QFile::encodeName(m_model.acousticModel).constData(), "-lm",
            QFile::encodeName(languageModelPath).constData(), "-dict",
            QFile::encodeName(dictionaryPath).constData(), "-vad_postspeech", "25", nullptr);
        if (decoder->config)
            decoder->decoder = library->init(decoder->config);
        if (!decoder->decoder) {
            *errorDescription = u"Could not load the speech model in "_qs
                                + QFileInfo(m_model.acousticModel).path();
            return nullptr;
        }
        return decoder;
    }

    void decode()
    {
        QString error;
        const std::unique_ptr<Decoder> decoder = createDecoder(&error);
        if (!decoder) {
            if (!m_cancelled)
                postFailure(error);
            return;
        }
        ps_decoder_t *const ps = decoder->decoder;
        const DecoderLibrary &api = decoder->api;

        // Each transcript is the whole text since the task began: the finished utterances
        // followed by the current one's partial hypothesis.
        QString committed;
        QString partial;
        QString lastPosted;
        const auto publish = [&] {
            QString text = committed;
            if (!text.isEmpty() && !partial.isEmpty())
                text += u' ';
            text += partial;
            if (text != lastPosted) {
                lastPosted = text;
                postTranscript(text);
            }
        };
        const auto hypothesis = [ps, &api] {
            const char *text = api.hypothesis(ps, nullptr);
            return text ? QString::fromUtf8(text).simplified() : QString();
        };
        StableHypothesis stable;
        bool heardSpeech = false;
        qsizetype utteranceSamples = 0;
        const auto endUtterance = [&] {
            api.endUtterance(ps);
            // The final hypothesis is rescored and may differ from the last partial.
            const QString final = hypothesis();
            if (!final.isEmpty() && !committed.isEmpty())
                committed += u' ';
            committed += final;
            partial.clear();
            stable.reset();
            publish();
            heardSpeech = false;
            utteranceSamples = 0;
        };

        api.startUtterance(ps);
        for (;;) {
            std::deque<std::vector<std::int16_t>> batch;
            bool ended = false;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock,
                            [this] { return m_cancelled || m_audioEnded || !m_queue.empty(); });
                if (m_cancelled)
                    return;
                batch.swap(m_queue);
                m_queuedSamples = 0;
                ended = m_audioEnded;
            }
            for (const std::vector<std::int16_t> &chunk : batch) {
                for (size_t at = 0; at < chunk.size(); at += decodeStepSamples) {
                    if (m_cancelled)
                        return;
                    const size_t count = std::min(decodeStepSamples, chunk.size() - at);
                    if (api.processRaw(ps, chunk.data() + at, count, FALSE, FALSE) < 0) {
                        postFailure(u"Speech decoding failed"_qs);
                        return;
                    }
                    utteranceSamples += qsizetype(count);
                    partial = stable.partial(hypothesis());
                    publish();
                    // A pause after speech ends the utterance; the decoder keeps its adaptation
                    // to the voice and the room for the next one.
                    const bool inSpeech = api.inSpeech(ps);
                    heardSpeech = heardSpeech || inSpeech;
                    if ((heardSpeech && !inSpeech) || utteranceSamples > maxUtteranceSamples) {
                        endUtterance();
                        api.startUtterance(ps);
                    }
                }
            }
            if (ended) {
                if (!m_cancelled)
                    endUtterance();
                return;
            }
        }
    }

    void postTranscript(const QString &transcript)
    {
        QMetaObject::invokeMethod(
            this,
            [this, transcript] {
                if (!m_stopped)
                    Q_EMIT transcriptChanged(transcript);
            },
            Qt::QueuedConnection);
    }

    void postFailure(const QString &description)
    {
        QMetaObject::invokeMethod(
            this,
            [this, description] {
                if (!m_stopped)
                    Q_EMIT failed(description);
            },
            Qt::QueuedConnection);
    }

    const ModelFiles m_model;
    const QString m_script;

    // Shared with the worker.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::vector<std::int16_t>> m_queue;
    qsizetype m_queuedSamples = 0;
    bool m_audioEnded = false;
    // Also read by the worker between chunks without the lock.
    std::atomic_bool m_cancelled = false;

    // Main thread only. Once stopped, results still on their way to this object are dropped.
    bool m_stopped = false;
    bool m_warnedAboutBacklog = false;
    std::thread m_worker;
};

class PocketSphinxRecognizerBackend : public SpeechRecognizerBackend
{
public:
    explicit PocketSphinxRecognizerBackend(ModelFiles model)
        : m_model(std::move(model))
        , m_installed(m_model.isInstalled())
    {}

    bool isAvailable() const override { return true; }
    bool supportsOnDeviceRecognition() const override { return m_installed; }

    std::unique_ptr<SpeechRecognitionTask> startTask(const QString &script,
                                                     QString *errorDescription) override
    {
        if (!m_installed) {
            if (errorDescription)
                *errorDescription = u"No speech model is installed in "_qs
                                    + QFileInfo(m_model.acousticModel).path();
            return nullptr;
        }
        auto task = std::make_unique<PocketSphinxRecognitionTask>(m_model, script);
        task->start();
        return task;
    }

private:
    const ModelFiles m_model;
    const bool m_installed;
};

} // namespace

QStringList PocketSphinxSpeechEngine::supportedLocales() const
{
    QStringList locales;
    for (const LocaleModel &model : localeModels)
        locales.append(QString::fromUtf16(model.localeId));
    return locales;
}

std::unique_ptr<SpeechRecognizerBackend>
PocketSphinxSpeechEngine::recognizer(const QString &localeId) const
{
    for (const LocaleModel &model : localeModels) {
        if (localeId == QString::fromUtf16(model.localeId))
            return std::make_unique<PocketSphinxRecognizerBackend>(modelFiles(model));
    }
    return nullptr;
}
