#include "word/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace word::files {

namespace {

const QString kTemporaryPrefix = QStringLiteral(".~kv");
// ".~kv<pid>-<random>.tmp": the process id is what tells a leftover.
const QRegularExpression kTemporaryPattern(QStringLiteral("^\\.~kv(\\d+)-[0-9a-z]+\\.tmp$"));

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min<qint64>(size, 1 << 20)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

bool ProcessExists(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

FileError::FileError(const QString& what, const QString& path, int err)
    : Error(QStringLiteral("ファイル「%1」を%2できませんでした（%3）。").arg(path, what, Reason(err))), err_(err) {}

QString Reason(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクがいっぱいです。空き容量を増やしてから、もう一度実行してください");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名またはパスが長すぎます。短い名前のファイルや浅いフォルダーに移してから、"
                              "もう一度実行してください");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のドライブです");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダーがありません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

QString ReasonForSystemText(const QString& text) {
    for (const int err : {ENOSPC, EDQUOT, ENAMETOOLONG, EACCES, EPERM, EROFS, ENOENT, EISDIR, EFBIG, EIO})
        if (text == QString::fromLocal8Bit(std::strerror(err))) return Reason(err);
    return text;
}

QString NewTemporaryName(const QString& folder) {
    const QString stem = folder + u'/' + kTemporaryPrefix + QString::number(::getpid()) + u'-';
    for (;;) {
        const QString name = stem + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".tmp");
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink()) return name;
    }
}

QStringList RemoveLeftoverTemporaries(const QString& folder) {
    QStringList removed;
    const QStringList names =
        QDir(folder).entryList({kTemporaryPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = kTemporaryPattern.match(name);
        if (!m.hasMatch() || ProcessExists(m.captured(1).toLongLong())) continue;
        if (QFile::remove(folder + u'/' + name)) removed << name;
    }
    return removed;
}

bool KeepModeAndOwner(int fd, const struct stat& original) {
    // Owner and group first: changing them may clear the set-id bits the mode restores.
    struct stat now;
    if (::fstat(fd, &now) == 0 && (now.st_uid != original.st_uid || now.st_gid != original.st_gid)) {
        if (::fchown(fd, original.st_uid, original.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), original.st_gid) != 0) {
            // Neither may be changed by this process: the file stays its own.
        }
    }
    return ::fchmod(fd, original.st_mode & 07777) == 0;
}

QString ResolvedTarget(const QString& path) {
    QFileInfo info(path);
    if (!info.isSymLink()) return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    // A link to a file that does not exist (yet): follow the chain by hand.
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) info = QFileInfo(info.symLinkTarget());
    return info.absoluteFilePath();
}

void WriteAtomically(const QString& path, const QByteArray& bytes, const struct stat* like) {
    const QString target = ResolvedTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    const QString folder = QFileInfo(target).absolutePath();
    const QString what = QStringLiteral("書き込み");
    if (QFileInfo(target).isDir()) throw FileError(what, path, EISDIR);

    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = QFile::encodeName(NewTemporaryName(folder));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw FileError(what, path, errno);

    auto abandon = [&](int err) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.constData());
        throw FileError(what, path, err);
    };
    if (!WriteAll(fd, bytes.constData(), bytes.size())) abandon(errno);
    struct stat original;
    if (like) {
        KeepModeAndOwner(fd, *like);
        const struct timespec times[2] = {like->st_atim, like->st_mtim};
        ::futimens(fd, times);
    } else if (::stat(targetName.constData(), &original) == 0) {
        KeepModeAndOwner(fd, original);
    }
    if (::fsync(fd) != 0) abandon(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(errno);
    if (::rename(temp.constData(), targetName.constData()) != 0) abandon(errno);
    SyncFolder(folder);
}

void SyncFolder(const QString& folder) {
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);  // makes a rename durable; a failure here loses nothing
        ::close(dirFd);
    }
}

}  // namespace word::files
