#pragma once

#include "import/presentationnotesextractor.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

// The background road of both imports: a file whose extension is "pptx" in any case is
// extracted on the global thread pool, any other gets `unsupportedFormat`; the outcome comes
// back on the main thread, and only while the receiver still exists.
namespace PresentationImport {

struct Outcome
{
    QStringList notes;
    std::optional<PresentationNotesExtractor::ExtractionError> error;
};

// Returns at once.
void start(const QString &path, QObject *receiver, std::function<void(const Outcome &)> done);

// The same work, blocking: what runs on the pool.
Outcome run(const QString &path);

} // namespace PresentationImport
