#include "speechengine.h"

#include "linux/speechengine_pocketsphinx.h"

SpeechRecognitionTask::~SpeechRecognitionTask() = default;

SpeechRecognizerBackend::~SpeechRecognizerBackend() = default;

SpeechEngine::~SpeechEngine() = default;

const SpeechEngine &SpeechEngine::system()
{
    static const PocketSphinxSpeechEngine engine;
    return engine;
}
