#include "import/presentationnotesextractor.h"

#include <sys/resource.h>

#include <cstdio>

// Prints the number of texts or the error, then the peak resident size in KiB.
int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    try {
        const QStringList texts
            = PresentationNotesExtractor::extractNotes(QString::fromLocal8Bit(argv[1]));
        std::printf("texts %lld\n", static_cast<long long>(texts.size()));
    } catch (const PresentationNotesExtractor::ExtractionError &error) {
        std::printf("%s\n", qPrintable(error.errorDescription()));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("maxrss %ld\n", usage.ru_maxrss);
    return 0;
}
