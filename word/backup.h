#pragma once
// Names and file steps of the save with backup: the edited document takes the
// input's name and the input is kept beside it as a numbered backup.
//
// The order of the steps keeps this true at every instant, also when the
// process is killed between two of them: either the input is under the
// document's name, or the input is under a backup name and the complete
// result under the document's name. The result is written whole under a
// temporary name first; the input then gets the backup name as a second name
// (a hard link, so it keeps its bytes, mode, owner and times); one rename
// finally puts the result in the input's place.

#include <QString>

#include <optional>

#include <sys/types.h>

namespace word::backup {

inline constexpr int kMaxBackups = 100;

// Backup candidate n of a document: "spec.doc" -> "spec-bak1.doc"; other
// extensions keep their own ("spec.docx" -> "spec-bak1.docx"); a name without
// an extension gets none ("spec" -> "spec-bak1").
QString Candidate(const QString& documentPath, int n);
// The first candidate 1..100 that does not exist; nullopt when all do.
std::optional<QString> FirstFreeBackup(const QString& documentPath);

// What tells that the file under a name is still the one a run opened: the
// same file (device, inode), length and modification time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file a path names (through links); nullopt when there is none.
std::optional<FileIdentity> IdentityOf(const QString& path);

// Where the result goes when the document changed during the run: the first
// of "spec-処理結果1.docx" … "spec-処理結果100.docx" that does not exist.
std::optional<QString> FirstFreeResultBeside(const QString& documentPath);

// Removes what a killed save of this document left beside it: temporary files
// of processes that no longer run, and a backup name that is still a second
// name of the document itself (the run ended before the result took its place),
// and the "<backup name>.$$$" files through which earlier versions saved.
void RemoveLeftovers(const QString& documentPath);

// True when the document may not be replaced: no write permission for this
// process, or (as the superuser may write anyway) no write bit at all.
bool IsReadOnly(const QString& documentPath);

// Gives the input at documentPath the second name backupPath. Returns false
// when there is no input any more (it was deleted or moved meanwhile); throws
// word::files::FileError when the backup cannot be made. On a file system
// without hard links the input is copied (whole, through a temporary name),
// keeping its mode, owner and times.
bool KeepInputAsBackup(const QString& documentPath, const QString& backupPath);
// Undoes KeepInputAsBackup: removes backupPath while it still names the
// document's own file (a copy is removed when its bytes are the input's).
void DropBackupOfInput(const QString& documentPath, const QString& backupPath);

// Gives the file at `path` the mode, owner and group of the document.
// Throws word::files::FileError when the mode cannot be set.
void KeepModeAndOwnerOf(const QString& documentPath, const QString& path);

// Renames `from` to `to`, replacing `to`, and makes the rename durable.
// Throws word::files::FileError.
void MoveIntoPlace(const QString& from, const QString& to);

// A length in bytes as the save line shows it: thousands of bytes rounded to
// one decimal, with a blank where a sign would stand and without a leading
// zero or a trailing ".0": 12345 -> " 12.3", 12000 -> " 12", 500 -> " .5".
QString SizeText(qint64 bytes);

}  // namespace word::backup
