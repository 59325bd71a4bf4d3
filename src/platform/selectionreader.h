#pragma once

#include <QString>

#include <functional>
#include <memory>

// Reads the text selected in any program, else the text copied to the clipboard, without
// waiting on a program that never answers: the event loop keeps turning meanwhile.
class SelectionReader
{
public:
    // Each owner is given this long to answer before the next place is asked.
    static constexpr int ownerTimeoutMs = 500;

    virtual ~SelectionReader();

    // Answers on a later turn of the event loop, never once the reader is gone, with the text
    // found: empty when neither place holds text or their owners did not answer in time. A text
    // longer than `maximumCodeUnits` is not read whole: it comes cut to one unit more, so the
    // caller still sees that it is too long.
    virtual void read(qsizetype maximumCodeUnits, std::function<void(const QString &text)> done)
        = 0;

    // Asks the X server's owners directly; elsewhere the toolkit's clipboard, which does not
    // wait there.
    static std::unique_ptr<SelectionReader> create();
};
