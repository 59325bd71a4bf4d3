#pragma once

#include <QString>

#include <functional>
#include <memory>

// The entry through which other programs hand Brivel a text to read, or ask it to read the text
// selected anywhere: on Linux the session bus, name "org.brivel.Brivel", object
// "/org/brivel/Brivel", methods ReadText(s) and ReadSelection().
class TextService
{
public:
    // Each answers with the text of a failure, which the caller is given, or an empty string
    // when Brivel took the request. Unset, every request is taken and dropped.
    std::function<QString(const QString &text)> readText;
    // Answers through `answer`, on a later turn of the event loop: the selection's owner may
    // take its time.
    std::function<void(std::function<void(const QString &refusal)> answer)> readSelection;

    virtual ~TextService();

    // Offers the entry to other programs. False, after one line in the log, when there is no
    // bus or another process holds the name; this never waits for a bus to start.
    virtual bool publish() = 0;

    static std::unique_ptr<TextService> create();
};
