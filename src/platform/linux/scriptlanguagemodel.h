#pragma once

#include "platform/linux/phonemizer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A trigram language model and a pronunciation dictionary made from one script. Biasing the
// decoder to the words the reader is expected to say, in about that order, roughly doubles the
// words it gets right, and a dictionary of only those words makes the decoder start in
// milliseconds instead of seconds.
class ScriptLanguageModel
{
public:
    // The script's sentences as lists of lower-cased words. The script is what the reader is
    // expected to say: its cue markers are already gone.
    static QList<QStringList> sentences(const QString &script);

    // `dictionaryPath` names a dictionary in the CMU format ("and AH N D", "and(2) AE N D").
    // Words it lacks are pronounced by `phonemizer`; those it can't pronounce either are left
    // out. The file is read only for words not looked up before in this process, so call this
    // off the main thread.
    static ScriptLanguageModel build(const QString &script, const QString &dictionaryPath,
                                     const Phonemizer &phonemizer = espeakPronunciation);

    // True when no word of the script has a pronunciation.
    bool isEmpty() const { return m_words.isEmpty(); }
    // The distinct words kept, sorted.
    QStringList words() const { return m_words; }
    // The model in ARPA text.
    QByteArray arpa() const { return m_arpa; }
    // The dictionary lines of the words kept, alternate pronunciations included.
    QByteArray dictionary() const { return m_dictionary; }

private:
    QStringList m_words;
    QByteArray m_arpa;
    QByteArray m_dictionary;
};
