#include "speechservices.h"

#include "platform/audioinput.h"
#include "platform/languagedetector.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"

SpeechServices SpeechServices::system()
{
    return {&SpeechEngine::system(), &LanguageDetector::system(), &Permissions::system(),
            [] { return AudioInput::createDefault(); }};
}
