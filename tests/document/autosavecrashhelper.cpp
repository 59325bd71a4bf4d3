// Autosaves a changing document until it is killed. The line "ready" on standard output says
// that at least one complete autosave is on disk.

#include "crashdocument.h"

#include "common/appfakes.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, QStringLiteral("es"));
    FakeReadingOverlay overlay;
    FakeDialogs dialogs;
    BrivelService service(settings, overlay, dialogs, QString::fromLocal8Bit(argv[1]));
    // What the previous, killed run left must load like any autosave.
    service.loadAutosave();

    QTextStream out(stdout);
    for (qint64 generation = 1;; ++generation) {
        service.setPages(CrashDocument::pages(generation));
        service.setPageTitles(CrashDocument::titles(generation));
        service.autosave();
        if (generation % 8 == 0) {
            service.flushAutosave();
            if (generation == 8)
                out << "ready" << Qt::endl;
        }
    }
}
