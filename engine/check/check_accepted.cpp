#include "engine/check/check_accepted.h"

#include "word/automation.h"
#include "word/cp932.h"

#include <QFile>
#include <QStringDecoder>

namespace engine::check {

AcceptedFindings::AcceptedFindings(const QStringList& lines) {
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0 || tab + 1 >= line.size()) continue;
        accepted_.insert(line.left(tab).trimmed() + u'\t' + line.mid(tab + 1));
    }
}

QStringList AcceptedFindings::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw word::Error(QStringLiteral("了承済みの指摘のファイル %1 を読めません。").arg(path));
    const QByteArray bytes = file.readAll();
    // UTF-8 when the bytes are valid UTF-8, else the code page of the reports.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = word::cp932::decode(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text.split(u'\n');
}

bool AcceptedFindings::Accepts(const Finding& finding) const {
    return accepted_.contains(finding.kind + u'\t' + QuotedText(finding)) ||
           accepted_.contains(finding.kind + u'\t' + finding.what);
}

QString QuotedText(const Finding& finding) {
    // The explanation comes first and the excerpt, which may hold anything, after "：「".
    const qsizetype open = finding.what.indexOf(QStringLiteral("：「"));
    if (open < 0 || !finding.what.endsWith(QStringLiteral("」"))) return finding.what;
    return finding.what.mid(open + 2, finding.what.size() - open - 3);
}

}  // namespace engine::check
