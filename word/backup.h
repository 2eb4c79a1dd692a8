#pragma once
// Names and file steps of the save with backup: the edited document takes the
// input's name and the input is kept beside it as a numbered backup.

#include <QString>

#include <optional>

namespace word::backup {

inline constexpr int kMaxBackups = 100;

// Backup candidate n of a document: "spec.doc" -> "spec-bak1.doc"; other
// extensions keep their own ("spec.docx" -> "spec-bak1.docx"); a name without
// an extension gets none ("spec" -> "spec-bak1").
QString Candidate(const QString& documentPath, int n);
// The first candidate 1..100 that does not exist; nullopt when all do.
std::optional<QString> FirstFreeBackup(const QString& documentPath);
// Where the edited document waits while the files are exchanged.
inline QString TemporaryName(const QString& backupPath) { return backupPath + QStringLiteral(".$$$"); }

// A length in bytes as the save line shows it: thousands of bytes rounded to
// one decimal, with a blank where a sign would stand and without a leading
// zero or a trailing ".0": 12345 -> " 12.3", 12000 -> " 12", 500 -> " .5".
QString SizeText(qint64 bytes);

// File steps that throw word::Error with a message for the user.
void RemoveFile(const QString& path);
void RenameFile(const QString& from, const QString& to);

}  // namespace word::backup
