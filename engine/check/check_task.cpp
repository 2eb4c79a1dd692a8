// Task code 6: the check before filing. Read-only: the document is never
// saved and no backup is made. The rules run on the text as read once; each
// finding goes to the log as it is found, then all of them to the report
// beside the document, and a closing message counts them.

#include "engine/check/check_rules.h"
#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/ooxml/document_model.h"
#include "word/cp932.h"

#include <algorithm>

namespace engine {

namespace {

// "出願前チェック-<file name>.txt" beside the document.
QString CheckReportPath(const QString& documentPath) {
    return JoinPath(GetFolderPart(documentPath),
                    ReportFileName(QStringLiteral("出願前チェック-"), GetFileNamePart(documentPath), QStringLiteral(".txt")));
}

// "出願前チェック-<file name>.docx" beside the document: the copy with the findings as comments.
QString AnnotatedCopyPath(const QString& documentPath) {
    return JoinPath(GetFolderPart(documentPath),
                    ReportFileName(QStringLiteral("出願前チェック-"), GetFileNamePart(documentPath), QStringLiteral(".docx")));
}

// Each finding as a Word comment on the text it is about; a finding that
// names no text (a missing item) is anchored on the paragraph it names, or
// on the document's first paragraph.
void AnnotateFindings(word::ooxml::DocumentModel& model, const check::Findings& findings) {
    std::vector<word::ooxml::DocumentModel::Comment> comments;
    comments.reserve(findings.size());
    for (const check::Finding& f : findings) {
        const int paragraph = std::clamp(f.paragraph, 0, model.paragraphCount() - 1);
        const auto [start, end] = model.paragraphSpan(paragraph);
        const int from = f.paragraph < 0 ? start : std::min(start + int(f.offset), end - 1);
        const int to = f.paragraph < 0 ? end - 1 : std::min(from + std::max(1, int(f.length)), end);
        comments.push_back({from, std::max(to, from + 1), QStringLiteral("Kalvendo"), QStringLiteral("K"),
                            QStringLiteral("%1：%2").arg(f.kind, f.what)});
    }
    model.addComments(std::move(comments));
}

QString FindingLine(const check::Finding& f) { return QStringLiteral("%1\t%2\t%3").arg(f.kind, f.where, f.what); }

// The whole report, code page 932 with CR LF, replacing an earlier one only
// once it is complete (a temporary file renamed over it).
void WriteCheckReport(const QString& path, const QString& documentPath, const check::Findings& findings) {
    QStringList lines;
    lines << QStringLiteral("出願前チェック：%1").arg(documentPath);
    for (const check::Finding& f : findings) lines << FindingLine(f);
    lines << (findings.empty() ? QStringLiteral("指摘はありません。")
                               : QStringLiteral("指摘 %1 件（%2）").arg(QString::number(findings.size()), check::CountsByKind(findings)));
    word::files::WriteAtomically(path, word::cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

}  // namespace

void TaskRunner::RunCheckTask() {
    host_.ShowStatus(QStringLiteral("出願前チェック：読込"));
    auto& model = document_->model();
    const check::CheckedText text(check::StoryParagraphs(model));

    check::Findings findings;
    const auto& rules = check::CheckRules();
    for (size_t i = 0; i < rules.size(); ++i) {
        host_.ShowStatus(rules[i].status);
        host_.SetProgress(30 + 60.0 * double(i) / double(rules.size()));
        host_.DoEvents();
        for (check::Finding& f : rules[i].run(model, text)) {
            host_.ShowLog(2, QStringLiteral(" .. %1　%2　%3").arg(f.kind, f.where, f.what));
            host_.ReportFinding(f.kind, f.where, f.what);
            findings.push_back(std::move(f));
        }
    }

    // The document itself is never changed: the comments go into a copy,
    // written whole beside it, and the document is closed without saving.
    QString annotatedPath;
    if (host_.Options().annotate && !findings.empty()) {
        host_.ShowStatus(QStringLiteral("出願前チェック：コメント付きの写し"));
        AnnotateFindings(model, findings);
        annotatedPath = AnnotatedCopyPath(documentPath_);
        model.save(annotatedPath);
    }
    document_->Close(word::wdDoNotSaveChanges);
    ReleaseWord();

    const QString reportPath = CheckReportPath(documentPath_);
    WriteCheckReport(reportPath, documentPath_, findings);
    host_.ShowLog(2, QStringLiteral(" .. チェック結果：") + reportPath);
    if (!annotatedPath.isEmpty()) host_.ShowLog(2, QStringLiteral(" .. コメント付きの写し：") + annotatedPath);
    const QString name = GetFileNamePart(documentPath_);
    host_.ShowStatus(QStringLiteral("出願前チェック完了"));
    if (findings.empty())
        host_.MessageBox(QStringLiteral("出願前チェック：「%1」に指摘はありません。").arg(name));
    else
        host_.MessageBox(QStringLiteral("出願前チェック：「%1」に指摘が %2 件あります。\n%3\n詳しくは「%4」を見てください。")
                             .arg(name, QString::number(findings.size()), check::CountsByKind(findings),
                                  GetFileNamePart(reportPath)));
}

}  // namespace engine
