#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// A pronunciation in the phones of the English acoustic model, as its dictionary writes them
// ("HH AH L OW"), for a word its dictionary lacks; empty when the word can't be pronounced.
using Phonemizer = std::function<QByteArray(const QString &word)>;

// espeak-ng's letter-to-sound rules and its own dictionary, US English, mapped to the model's
// phones. Words that are not written in Latin letters, or are too long to be one word, get none.
QByteArray espeakPronunciation(const QString &word);

// Maps espeak-ng phoneme names ("h_@_l_'oU", names separated by '_' and words by spaces, stress
// marks allowed) to the model's phones; empty when a name has no counterpart.
QByteArray modelPhonesFromEspeak(QByteArrayView espeakPhonemes);
