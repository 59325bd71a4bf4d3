#pragma once

#include <QByteArray>
#include <QString>

// Replaces a whole file at once: the bytes go to a temporary file beside it, which takes the
// file's place only when every byte was written. Any failure leaves the old file as it was.
namespace AtomicFile {

// A file created here is readable and writable by its owner only; an existing file keeps its
// mode. On failure returns false and, when given, the system's words for the reason in `error`
// and its errno in `errorNumber` (0 when the system gave none).
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr,
           int *errorNumber = nullptr);

} // namespace AtomicFile
