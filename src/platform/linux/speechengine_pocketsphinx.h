#pragma once

#include "platform/speechengine.h"

// CMU pocketsphinx with the models installed in its model folder. Every locale Brivel knows has
// a model folder name; a locale whose model is not installed is known but not offline-capable.
class PocketSphinxSpeechEngine : public SpeechEngine
{
public:
    QStringList supportedLocales() const override;
    std::unique_ptr<SpeechRecognizerBackend> recognizer(const QString &localeId) const override;
};
