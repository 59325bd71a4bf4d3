#include "import/presentationnotesextractor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    // The peak of this program's own memory: ru_maxrss would also count the test that forked
    // it, as the figure survives exec.
    long peakKiB = 0;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                peakKiB = std::strtol(line + 6, nullptr, 10);
        }
        std::fclose(status);
    }
    std::printf("maxrss %ld\n", peakKiB);
    return 0;
}
