#include "word/backup.h"

#include "word/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace word::backup {

namespace {

QByteArray Name(const QString& path) { return QFile::encodeName(path); }

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// "spec.docx", "-bak", 1 -> "spec-bak1.docx".
QString NumberedName(const QString& documentPath, const QString& tag, int n) {
    const QString number = QString::number(n);
    const qsizetype slash = documentPath.lastIndexOf(QDir::separator());
    const qsizetype dot = documentPath.lastIndexOf(u'.');
    if (dot <= slash + 1)  // no extension (or a name that only starts with a dot)
        return documentPath + tag + number;
    const QString extension = documentPath.mid(dot);
    // A ".doc" backup is written in lower case whatever the input's case, as
    // the backups of .doc documents always were.
    const QString suffix = extension.compare(QStringLiteral(".doc"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral(".doc")
                               : extension;
    return documentPath.left(dot) + tag + number + suffix;
}

std::optional<QString> FirstFree(const QString& documentPath, const QString& tag) {
    for (int n = 1; n <= kMaxBackups; ++n) {
        const QString candidate = NumberedName(documentPath, tag, n);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink()) return candidate;
    }
    return std::nullopt;
}

}  // namespace

QString Candidate(const QString& documentPath, int n) { return NumberedName(documentPath, QStringLiteral("-bak"), n); }

std::optional<QString> FirstFreeBackup(const QString& documentPath) { return FirstFree(documentPath, QStringLiteral("-bak")); }

std::optional<QString> FirstFreeResultBeside(const QString& documentPath) {
    return FirstFree(documentPath, QStringLiteral("-処理結果"));
}

std::optional<FileIdentity> IdentityOf(const QString& path) {
    struct stat st;
    if (::stat(Name(path).constData(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, static_cast<qint64>(st.st_size),
                        static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

QString SizeText(qint64 bytes) {
    const qint64 tenths = (bytes + 50) / 100;  // thousands of bytes, one decimal, rounded
    const qint64 whole = tenths / 10;
    const qint64 fraction = tenths % 10;
    QString text;
    if (whole > 0) text += QString::number(whole);
    if (fraction > 0) text += u'.' + QString::number(fraction);
    if (text.isEmpty()) text = QStringLiteral("0");  // below 50 bytes
    return u' ' + text;
}

void RemoveLeftovers(const QString& documentPath) {
    files::RemoveLeftoverTemporaries(QFileInfo(documentPath).absolutePath());
    struct stat document;
    if (::stat(Name(documentPath).constData(), &document) != 0) return;
    for (int n = 1; n <= kMaxBackups; ++n) {
        const QByteArray candidate = Name(Candidate(documentPath, n));
        struct stat backup;
        if (::lstat(candidate.constData(), &backup) == 0 && SameFile(backup, document)) ::unlink(candidate.constData());
        // The temporary name of earlier versions, which saved through the backup name.
        ::unlink((candidate + ".$$$").constData());
    }
}

bool IsReadOnly(const QString& documentPath) {
    const QByteArray name = Name(documentPath);
    struct stat st;
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;  // the open step tells
    if (::access(name.constData(), W_OK) != 0) return errno == EACCES || errno == EPERM || errno == EROFS;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool KeepInputAsBackup(const QString& documentPath, const QString& backupPath) {
    const QByteArray document = Name(documentPath);
    const QByteArray backup = Name(backupPath);
    const QString what = QStringLiteral("作成");
    if (::link(document.constData(), backup.constData()) == 0) return true;
    const int err = errno;
    struct stat input;
    if (::stat(document.constData(), &input) != 0) {
        if (errno == ENOENT) return false;
        throw files::FileError(what, backupPath, errno);
    }
    if (err != EPERM && err != EXDEV && err != EOPNOTSUPP && err != EMLINK && err != ENOSYS)
        throw files::FileError(what, backupPath, err);
    // No hard links here: a copy, written whole, that looks like the input.
    QFile in(documentPath);
    if (!in.open(QIODevice::ReadOnly)) throw files::FileError(QStringLiteral("読み込み"), documentPath, EACCES);
    const QByteArray bytes = in.readAll();
    if (in.error() != QFile::NoError) throw files::FileError(QStringLiteral("読み込み"), documentPath, EIO);
    files::WriteAtomically(backupPath, bytes, input);
    return true;
}

void DropBackupOfInput(const QString& documentPath, const QString& backupPath) {
    struct stat document, backup;
    if (::stat(Name(documentPath).constData(), &document) != 0 || ::lstat(Name(backupPath).constData(), &backup) != 0)
        return;  // without the input under its name, the backup is what holds it
    bool same = SameFile(backup, document);
    if (!same && backup.st_size == document.st_size) {
        QFile a(documentPath), b(backupPath);
        same = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll() &&
               a.error() == QFile::NoError && b.error() == QFile::NoError;
    }
    if (same) ::unlink(Name(backupPath).constData());
}

void KeepModeAndOwnerOf(const QString& documentPath, const QString& path) {
    struct stat document;
    if (::stat(Name(documentPath).constData(), &document) != 0) return;  // nothing to keep
    const int fd = ::open(Name(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw files::FileError(QStringLiteral("書き込み"), documentPath, errno);
    const bool ok = files::KeepModeAndOwner(fd, document);
    const int err = errno;
    ::close(fd);
    if (!ok) throw files::FileError(QStringLiteral("書き込み"), documentPath, err);
}

void MoveIntoPlace(const QString& from, const QString& to) {
    if (::rename(Name(from).constData(), Name(to).constData()) != 0)
        throw files::FileError(QStringLiteral("置き換え"), to, errno);
    files::SyncFolder(QFileInfo(to).absolutePath());
}

}  // namespace word::backup
