#pragma once

class LanguageDetector;

// The entry points of libbrivel_languagedetector.so, CLD2 and text categorisation
// (Cld2LanguageDetector), loaded when a language is first asked for (LanguageDetector::system).
// languagedetectormodule.exports lists what the module takes from the program.
struct LanguageDetectorModule
{
    static constexpr char name[] = "languagedetector";

    LanguageDetector *(*createLanguageDetector)() = nullptr;
};
