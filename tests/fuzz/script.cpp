// A script and what the recogniser heard: tokenising, counting, cue markers and the matching
// that moves the reading position, from an arbitrary start.
#include "fuzzing.h"
#include "settings/tokenizer.h"
#include "speech/speechmatching.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int start = input.ConsumeIntegral<int>();
    const double progress = input.ConsumeFloatingPoint<double>();
    const QString transcript = QString::fromStdString(input.ConsumeRandomLengthString(256));
    const QString text = QString::fromStdString(input.ConsumeRemainingBytesAsString());

    const TokenizedScript script = tokenizeScript(text);
    if (characterCount(text) < 0)
        abort();
    const QList<bool> cues = cueWords(script.words, script.lineBreaks);
    if (cues.size() != script.words.size())
        abort();
    for (const int lineBreak : script.lineBreaks) {
        if (lineBreak <= 0 || lineBreak >= script.words.size())
            abort();
    }
    const WordCharOffsets offsets(script.words);
    const int offset = offsets.charOffsetForWordProgress(int(script.words.size()), progress);
    offsets.wordProgressForCharOffset(offset);
    offsets.wordProgressForCharOffset(start);

    const ScriptMatcher matcher(script);
    const int from
        = matcher.characterCount() > 0 ? qAbs(start % (matcher.characterCount() + 1)) : 0;
    const int reached = from
                        + std::max(matcher.matchCharacters(from, transcript),
                                   matcher.matchWords(from, transcript));
    if (reached < from)
        abort();
    matcher.spokenText();
    return 0;
}
