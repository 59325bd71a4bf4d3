// With one argument, autosaves a changing document until it is killed. The line "ready" on
// standard output says that at least one complete autosave is on disk.
//
// With "autosave" or "save" and a size in bytes after it, writes one document of about that
// size to "pages.json" or "doc.brivel" in the folder and tells on standard output what became
// of it, so that a test can run the write with limits of its own: whether the old file is still
// there, the alerts, and whether the pages count as saved. It starts as the program does, so a
// file size limit meets the program's own handling.

#include "crashdocument.h"

#include "common/appfakes.h"
#include "platform/userfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int writeOnce(BrivelService &service, const FakeDialogs &dialogs, const QString &directory,
              const QString &mode, qsizetype bytes)
{
    const QString target = directory + (mode == u"save" ? u"/doc.brivel" : u"/pages.json");
    const QByteArray before = contents(target);
    service.setPages({QString(bytes, QLatin1Char('w'))});
    if (mode == u"save")
        service.save(target);
    else
        service.flushAutosave();

    QTextStream out(stdout);
    for (const FakeDialogs::Alert &alert : dialogs.alerts)
        out << "alert " << alert.message << ": " << alert.informativeText << Qt::endl;
    out << "unsaved " << int(service.hasUnsavedChanges()) << Qt::endl;
    out << (contents(target) == before ? "kept" : "replaced") << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    UserFiles::ignoreFileSizeLimitSignal();
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 4)
        return 2;
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, QStringLiteral("es"));
    FakeReadingOverlay overlay;
    FakeDialogs dialogs;
    const QString directory = QString::fromLocal8Bit(argv[1]);
    BrivelService service(settings, overlay, dialogs, directory);
    if (argc == 4)
        return writeOnce(service, dialogs, directory, QString::fromLocal8Bit(argv[2]),
                         QByteArray(argv[3]).toLongLong());

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
