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

#include <utility>

namespace word::files {

namespace {

const QString kTemporaryPrefix = QStringLiteral(".~kv");
const QString kWriting = QStringLiteral("書き込み");
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

namespace {

// The process's file mode mask, read without changing it (umask() would, for
// a moment, for every thread).
mode_t CurrentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) return static_cast<mode_t>(mask & 0777);
            }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// A new temporary file beside `path`, readable by its owner only. Throws FileError.
int OpenTemporary(const QString& path, QByteArray& temporary) {
    const QString folder = QFileInfo(path).absolutePath();
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(NewTemporaryName(folder));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw FileError(kWriting, path, errno);
    return fd;
}

// Gives the complete temporary file the mode, owner and group of a file
// written under `name`: those of the regular file it replaces (a link there is
// not looked through) or the process's defaults, then no wider than the
// document it is made from.
void GiveLook(int fd, const QByteArray& name, const QString& madeFrom) {
    struct stat existing;
    mode_t mode = 0666 & ~CurrentUmask();
    if (::lstat(name.constData(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        KeepModeAndOwner(fd, existing);
        mode = existing.st_mode & 07777;
    }
    struct stat document;
    if (!madeFrom.isEmpty() && ::stat(QFile::encodeName(madeFrom).constData(), &document) == 0) {
        mode &= document.st_mode & 0666;
        // The group's bits give the document's group access, never another's.
        struct stat now;
        if (::fstat(fd, &now) == 0 && now.st_gid != document.st_gid &&
            ::fchown(fd, static_cast<uid_t>(-1), document.st_gid) != 0)
            mode &= ~mode_t(070);
    }
    ::fchmod(fd, mode);
}

// Flushes and closes the temporary file; on failure it is removed. Throws FileError.
void Finish(int& fd, const QByteArray& temporary, const QString& path) {
    const bool synced = ::fsync(fd) == 0;
    int err = errno;
    const bool closed = ::close(fd) == 0;
    if (synced) err = errno;
    fd = -1;
    if (!synced || !closed) {
        ::unlink(temporary.constData());
        throw FileError(kWriting, path, err);
    }
}

void WriteOrRemove(int& fd, const QByteArray& temporary, const QString& path, const QByteArray& bytes) {
    if (WriteAll(fd, bytes.constData(), bytes.size())) return;
    const int err = errno;
    ::close(fd);
    fd = -1;
    ::unlink(temporary.constData());
    throw FileError(kWriting, path, err);
}

// Renames the complete temporary file over the name. Throws FileError.
void Place(const QByteArray& temporary, const QString& path) {
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0) return;
    const int err = errno;
    ::unlink(temporary.constData());
    throw FileError(QStringLiteral("置き換え"), path, err);
}

}  // namespace

void WriteAtomically(const QString& path, const QByteArray& bytes, const QString& madeFrom) {
    FileSet one(madeFrom);
    one.Add(path, bytes);
    one.Commit();
}

void WriteAtomically(const QString& path, const QByteArray& bytes, const struct stat& like) {
    QByteArray temporary;
    int fd = OpenTemporary(path, temporary);
    WriteOrRemove(fd, temporary, path, bytes);
    KeepModeAndOwner(fd, like);
    const struct timespec times[2] = {like.st_atim, like.st_mtim};
    ::futimens(fd, times);
    Finish(fd, temporary, path);
    Place(temporary, path);
    SyncFolder(QFileInfo(path).absolutePath());
}

AtomicFile::AtomicFile(const QString& path, const QString& madeFrom) : path_(path), madeFrom_(madeFrom) {
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()) throw FileError(kWriting, path, EISDIR);
    fd_ = OpenTemporary(path, temporary_);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
}

void AtomicFile::Write(const QByteArray& bytes) {
    if (fd_ < 0) throw FileError(kWriting, path_, EBADF);
    WriteOrRemove(fd_, temporary_, path_, bytes);
}

void AtomicFile::Commit() {
    if (fd_ < 0) throw FileError(kWriting, path_, EBADF);
    GiveLook(fd_, QFile::encodeName(path_), madeFrom_);
    const QByteArray temporary = std::exchange(temporary_, {});
    Finish(fd_, temporary, path_);
    Place(temporary, path_);
    SyncFolder(QFileInfo(path_).absolutePath());
}

FileSet::~FileSet() {
    for (const Staged& s : staged_) ::unlink(s.temporary.constData());
}

void FileSet::Add(const QString& path, const QByteArray& bytes) {
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()) throw FileError(kWriting, path, EISDIR);
    QByteArray temporary;
    int fd = OpenTemporary(path, temporary);
    WriteOrRemove(fd, temporary, path, bytes);
    GiveLook(fd, QFile::encodeName(path), madeFrom_);
    Finish(fd, temporary, path);
    staged_.push_back({path, temporary});
}

void FileSet::Commit() {
    // Each earlier file keeps a second name until the whole set is in place,
    // so that a name that cannot be replaced puts the earlier ones back.
    struct Placed {
        QByteArray name, earlier;  // earlier: the second name of the file it replaced, if any
    };
    std::vector<Placed> placed;
    const bool several = staged_.size() > 1;
    auto putBack = [&] {
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            if (it->earlier.isEmpty())
                ::unlink(it->name.constData());
            else
                ::rename(it->earlier.constData(), it->name.constData());
        }
    };
    for (size_t i = 0; i < staged_.size(); ++i) {
        const Staged& s = staged_[i];
        Placed p{QFile::encodeName(s.path), {}};
        struct stat st;
        int err = 0;
        bool movedAside = false;
        if (::lstat(p.name.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            err = EISDIR;
        } else if (several && ::lstat(p.name.constData(), &st) == 0) {
            p.earlier = QFile::encodeName(NewTemporaryName(QFileInfo(s.path).absolutePath()));
            // A second name, or (where a folder has no hard links) the earlier file moved aside.
            if (::link(p.name.constData(), p.earlier.constData()) != 0) {
                movedAside = ::rename(p.name.constData(), p.earlier.constData()) == 0;
                if (!movedAside) err = errno;
            }
        }
        if (!err && ::rename(s.temporary.constData(), p.name.constData()) != 0) {
            err = errno;
            if (movedAside)
                ::rename(p.earlier.constData(), p.name.constData());
            else if (!p.earlier.isEmpty())
                ::unlink(p.earlier.constData());
        }
        if (err) {
            putBack();
            for (size_t j = i; j < staged_.size(); ++j) ::unlink(staged_[j].temporary.constData());
            staged_.clear();
            throw FileError(QStringLiteral("置き換え"), s.path, err);
        }
        staged_[i].temporary.clear();
        placed.push_back(std::move(p));
    }
    for (const Placed& p : placed)
        if (!p.earlier.isEmpty()) ::unlink(p.earlier.constData());
    std::vector<QString> folders;
    for (const Staged& s : staged_) {
        const QString folder = QFileInfo(s.path).absolutePath();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    for (const QString& folder : folders) SyncFolder(folder);
    staged_.clear();
}

void SyncFolder(const QString& folder) {
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);  // makes a rename durable; a failure here loses nothing
        ::close(dirFd);
    }
}

QString FittedFileName(const QString& prefix, const QString& middle, const QString& suffix, int room) {
    const qsizetype limit = 255 - room;
    auto fits = [&](const QString& name) { return QFile::encodeName(name).size() <= limit; };
    const QString whole = prefix + middle + suffix;
    if (fits(whole)) return whole;
    QString kept = middle;
    const QString mark = QStringLiteral("…");
    while (!kept.isEmpty() && !fits(prefix + kept + mark + suffix)) {
        kept.chop(1);
        if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);
    }
    return prefix + kept + mark + suffix;
}

}  // namespace word::files

