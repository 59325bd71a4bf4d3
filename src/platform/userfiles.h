#pragma once

#include <QString>

// The files Brivel keeps for the user (the settings, the autosave): the folders they live in and
// what becomes of one that cannot be used. Their contents are written through AtomicFile.
namespace UserFiles {

// Creates the folder and every missing parent for its owner's eyes only (0700, as the XDG base
// directories ask), whatever the umask; folders that exist keep their mode. A failure shows up
// when the file inside is written.
void makePrivatePath(const QString &directory);

// Renames whatever sits at `path` (a file, a directory, a FIFO, a link) to
// "<path>.<why>-<time stamp>" in the same folder, so that nothing written later destroys it.
// Returns the new path, or an empty string and the reason in `error`.
QString moveAside(const QString &path, const QString &why, QString *error = nullptr);

// From now on every file and folder the process creates is its owner's only, under any umask:
// Qt keeps files of its own beside Brivel's (the file dialog's state, with the folders the user
// visited) and creates them as the umask says. The umask is process-wide: call this at start-up,
// before any other thread runs.
void keepNewFilesFromOthers();

// Called at start-up, before anything is written: a write past a file size limit then fails
// with EFBIG and takes the road of a full disk, where SIGXFSZ would end the process with the
// unsaved edits.
void ignoreFileSizeLimitSignal();

} // namespace UserFiles
