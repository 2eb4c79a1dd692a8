#pragma once
// Files written whole: the new content goes to a new file under a short
// temporary name in the same folder (created 0600, so that no one else reads
// a half-written copy), is flushed, and is renamed over the name, so that the
// name holds either its old content or the complete new one. The name is
// replaced as a name: a symbolic link there is replaced, never followed, so
// that no link planted at an output name makes a run write somewhere else.
// Temporary names carry the id of the process that made them: a later run
// recognises those of a process that no longer exists (one that was killed
// half-way) and removes them.
//
// The new file's mode, owner and group are those of a regular file it
// replaces, or the process's defaults for a new name; a file made from a
// document (`madeFrom`: HTML, pictures, reports, copies) gets no wider
// permissions than that document.

#include "word/automation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

#include <vector>

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

// Writes `bytes` whole under `path` (see above). Nothing is left behind on
// failure. Throws FileError.
void WriteAtomically(const QString& path, const QByteArray& bytes, const QString& madeFrom = {});
// The same, the file getting exactly the mode, owner, group and times of `like`
// (a copy that stands for the file `like` describes).
void WriteAtomically(const QString& path, const QByteArray& bytes, const struct stat& like);

// One file written whole as it is produced: the content goes to the temporary
// file piece by piece; Commit puts it under its name. A file not committed is
// removed when the object goes.
class AtomicFile {
public:
    // Throws FileError when the temporary file cannot be made.
    explicit AtomicFile(const QString& path, const QString& madeFrom = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const QString& path() const { return path_; }
    void Write(const QByteArray& bytes);  // throws FileError
    void Commit();                        // throws FileError; the temporary file is gone either way

private:
    QString path_, madeFrom_;
    QByteArray temporary_;
    int fd_ = -1;
};

// Files that are one result (an HTML file and its pictures): either all of
// them take their names, or none does and the earlier files stay as they
// were. Each file is written whole under a temporary name as it is added, so a
// full disk ends the set before any name is touched.
class FileSet {
public:
    explicit FileSet(QString madeFrom = {}) : madeFrom_(std::move(madeFrom)) {}
    ~FileSet();  // the temporary files of a set not committed are removed
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // Throws FileError (the files added so far stay in the set).
    void Add(const QString& path, const QByteArray& bytes);
    // The files take their names in the order they were added. When one
    // cannot, those already placed are put back as they were and FileError is
    // thrown.
    void Commit();

private:
    struct Staged {
        QString path;
        QByteArray temporary;
    };
    QString madeFrom_;
    std::vector<Staged> staged_;
};

// Gives the open file the mode, owner and group of `original`, as far as the
// process may set them (the owner only as root; the group when it is one of
// the process's groups). Returns false when the mode could not be set.
bool KeepModeAndOwner(int fd, const struct stat& original);

// Flushes a folder's entries, so that a rename in it survives a crash.
void SyncFolder(const QString& folder);

// The file a path names: the end of a symbolic link (which may not exist
// yet), otherwise the path itself, absolute. What the save of a document
// writes, so that a document that is a link stays one.
QString ResolvedTarget(const QString& path);

// A file name of at most 255 bytes made of prefix, a middle part and suffix:
// where the whole would be longer, as much of the start of the middle part is
// kept as fits, followed by "…". `room` bytes are kept free for what a caller
// adds after the suffix's place (a picture's "_12.jpeg").
QString FittedFileName(const QString& prefix, const QString& middle, const QString& suffix, int room = 0);

}  // namespace word::files
