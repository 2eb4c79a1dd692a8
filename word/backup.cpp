#include "word/backup.h"

#include "word/automation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace word::backup {

QString Candidate(const QString& documentPath, int n) {
    const QString number = QString::number(n);
    const qsizetype slash = documentPath.lastIndexOf(QDir::separator());
    const qsizetype dot = documentPath.lastIndexOf(u'.');
    if (dot <= slash + 1)  // no extension (or a name that only starts with a dot)
        return documentPath + QStringLiteral("-bak") + number;
    const QString extension = documentPath.mid(dot);
    // A ".doc" backup is written in lower case whatever the input's case, as
    // the backups of .doc documents always were.
    const QString suffix = extension.compare(QStringLiteral(".doc"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral(".doc")
                               : extension;
    return documentPath.left(dot) + QStringLiteral("-bak") + number + suffix;
}

std::optional<QString> FirstFreeBackup(const QString& documentPath) {
    for (int n = 1; n <= kMaxBackups; ++n) {
        const QString candidate = Candidate(documentPath, n);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink()) return candidate;
    }
    return std::nullopt;
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

void RemoveFile(const QString& path) {
    QFile file(path);
    if (!file.remove())
        throw Error(QStringLiteral("ファイルを削除できませんでした：%1（%2）").arg(path, file.errorString()));
}

void RenameFile(const QString& from, const QString& to) {
    QFile file(from);
    if (!file.rename(to))
        throw Error(QStringLiteral("ファイル名を変更できませんでした：%1 → %2（%3）").arg(from, to, file.errorString()));
}

}  // namespace word::backup
