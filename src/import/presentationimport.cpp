#include "import/presentationimport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

using PresentationNotesExtractor::ExtractionError;

namespace PresentationImport {

Outcome run(const QString &path)
{
    Outcome outcome;
    if (QFileInfo(path).suffix().toLower() != u"pptx") {
        outcome.error = ExtractionError::unsupportedFormat();
        return outcome;
    }
    try {
        outcome.notes = PresentationNotesExtractor::extractNotes(path);
    } catch (const ExtractionError &error) {
        outcome.error = error;
    }
    return outcome;
}

void start(const QString &path, QObject *receiver, std::function<void(const Outcome &)> done)
{
    QThreadPool::globalInstance()->start(
        [path, guard = QPointer<QObject>(receiver), done = std::move(done)] {
            Outcome outcome = run(path);
            // Posted to the application object, which outlives the receiver; the guard is only
            // read on the main thread.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, done, outcome = std::move(outcome)] {
                    if (guard)
                        done(outcome);
                },
                Qt::QueuedConnection);
        });
}

} // namespace PresentationImport
