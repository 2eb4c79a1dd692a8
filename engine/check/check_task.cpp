// Task code 6: the check before filing. Read-only: the document is never
// saved and no backup is made. The rules run on the text as read once; each
// finding goes to the log as it is found, then all of them to the report
// beside the document, and a closing message counts them.

#include "engine/check/check_report.h"
#include "engine/check/check_rules.h"
#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"

namespace engine {

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
            check::ReportFinding(host_, f);
            findings.push_back(std::move(f));
        }
    }

    // Nothing was changed: the document is closed without saving.
    document_->Close(word::wdDoNotSaveChanges);
    ReleaseWord();

    const QString reportPath = check::ReportPathBeside(documentPath_, QStringLiteral("出願前チェック-"));
    const QString counts = check::CountsByKind(findings);
    check::WriteFindingsReport(reportPath, {QStringLiteral("出願前チェック：%1").arg(documentPath_)}, findings, counts);
    host_.ShowLog(2, QStringLiteral(" .. チェック結果：") + reportPath);
    host_.ShowStatus(QStringLiteral("出願前チェック完了"));
    host_.MessageBox(check::ClosingMessage(QStringLiteral("出願前チェック"), documentPath_, findings, counts, reportPath));
}

}  // namespace engine
