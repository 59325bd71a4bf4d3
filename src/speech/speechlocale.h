#pragma once

#include <QString>

#include <optional>

class LanguageDetector;
class SpeechEngine;

// The locale to recognise a script in: its own language, preferring a regional variant that
// the device recognises offline. Always gives an identifier such as "es_AR".
QString preferredSpeechLocale(const QString &scriptText, const LanguageDetector &detector,
                              const SpeechEngine &engine);
// An identifier for the language code whose recogniser runs on the device, if there is one.
std::optional<QString> onDeviceSpeechLocale(const QString &languageCode,
                                            const SpeechEngine &engine);
