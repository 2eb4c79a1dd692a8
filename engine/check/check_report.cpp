#include "engine/check/check_report.h"

#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/cp932.h"

namespace engine::check {

void ReportFinding(Host& host, const Finding& f) {
    host.ShowLog(2, QStringLiteral(" .. %1　%2　%3").arg(f.kind, f.where, f.what));
    host.ReportFindingAt(f.kind, f.where, f.what, f.paragraph, f.offset, f.length);
}

QString ReportPathBeside(const QString& documentPath, const QString& prefix) {
    return JoinPath(GetFolderPart(documentPath), ReportFileName(prefix, GetFileNamePart(documentPath), QStringLiteral(".txt")));
}

void WriteFindingsReport(const QString& path, const QStringList& header, const Findings& findings, const QString& counts,
                         const QString& documentPath) {
    QStringList lines = header;
    for (const Finding& f : findings) lines << QStringLiteral("%1\t%2\t%3").arg(f.kind, f.where, f.what);
    lines << (findings.empty() ? QStringLiteral("指摘はありません。")
                               : QStringLiteral("指摘 %1 件（%2）").arg(QString::number(findings.size()), counts));
    word::files::WriteAtomically(path, word::cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")),
                                 documentPath);
}

QString ClosingMessage(const QString& title, const QString& documentPath, const Findings& findings,
                       const QString& counts, const QString& reportPath) {
    const QString name = GetFileNamePart(documentPath);
    if (findings.empty()) return QStringLiteral("%1：「%2」に指摘はありません。").arg(title, name);
    return QStringLiteral("%1：「%2」に指摘が %3 件あります。\n%4\n詳しくは「%5」を見てください。")
        .arg(title, name, QString::number(findings.size()), counts, GetFileNamePart(reportPath));
}

}  // namespace engine::check
