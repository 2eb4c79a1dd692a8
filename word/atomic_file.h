#pragma once
// Files written whole: the new content goes to a file under a short
// temporary name in the same folder, is flushed, and is renamed over the
// target, so that the target holds either its old content or the complete
// new one. Temporary names carry the id of the process that made them: a
// later run recognises those of a process that no longer exists (one that was
// killed half-way) and removes them.

#include "word/automation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

namespace word::files {

// A file operation that failed: the message names the file and says why; the
// system's error number lets a caller say it again for the file it means.
class FileError : public Error {
public:
    FileError(const QString& what, const QString& path, int err);
    int err() const { return err_; }

private:
    int err_;
};

// Why a file operation failed, for the user: a full disk, a name or path too
// long, no permission, a read-only file system, … (the system's text otherwise).
QString Reason(int err);
// The same for the system's own text of an error, as Qt's file classes report
// it (errorString()); a text that is no known error's comes back unchanged.
QString ReasonForSystemText(const QString& text);

// A name in `folder` that no file has, for a temporary file of this process:
// ".~kv<pid>-<random>.tmp", short, so that a document name near the file
// system's limit still leaves room for it. The file itself is not created.
QString NewTemporaryName(const QString& folder);
// Whether a process with this id runs: what tells a leftover of a killed run.
bool ProcessExists(qint64 pid);
// Removes the temporary files that processes no longer running left in
// `folder`; returns the names it removed.
QStringList RemoveLeftoverTemporaries(const QString& folder);

// Writes `bytes` to `path` through a temporary file. An existing target keeps
// its mode, owner and group; a symbolic link stays a link and the file it
// points to is written. Nothing is left behind on failure. Throws FileError.
// Given `like`, the file gets that file's mode, owner, group and times instead.
void WriteAtomically(const QString& path, const QByteArray& bytes, const struct stat* like = nullptr);

// Gives the open file the mode, owner and group of `original`, as far as the
// process may set them (the owner only as root; the group when it is one of
// the process's groups). Returns false when the mode could not be set.
bool KeepModeAndOwner(int fd, const struct stat& original);

// Flushes a folder's entries, so that a rename in it survives a crash.
void SyncFolder(const QString& folder);

// The file a path names: the end of a symbolic link (which may not exist
// yet), otherwise the path itself, absolute.
QString ResolvedTarget(const QString& path);

}  // namespace word::files
