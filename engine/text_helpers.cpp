#include "engine/text_helpers.h"

#include "word/atomic_file.h"

#include <QDir>
#include <QFile>

namespace engine {

QString NumToStr(qint64 n) { return QString::number(n); }

QString NumWithSignBlank(qint64 n) { return n < 0 ? QString::number(n) : " " + QString::number(n); }

QString ToFullWidthDigits(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= u'0' && c <= u'9') c = QChar(0xFF10 + (c.unicode() - u'0'));
    return out;
}

namespace {
const QChar kSep = QDir::separator();
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(kSep)) return folder + name;
    return folder + kSep + name;
}

QString GetFolderPart(const QString& path) {
    const qsizetype i = path.lastIndexOf(kSep);
    return i < 0 ? QString() : path.left(i + 1);
}

QString GetFileNamePart(const QString& path) {
    const qsizetype i = path.lastIndexOf(kSep);
    return i < 0 ? path : path.mid(i + 1);
}

QString MaskFalseFullWidth(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c == QChar(0x00B0) || c == QChar(0x2019)) c = u'_';
    return out;
}

QString ParagraphNumberText(int number) {
    return QStringLiteral("【%1】").arg(ToFullWidthDigits(QString::number(number).rightJustified(4, u'0')));
}

QString ReportFileName(const QString& prefix, const QString& documentFileName, const QString& suffix) {
    return word::files::FittedFileName(prefix, documentFileName, suffix);
}

}  // namespace engine
