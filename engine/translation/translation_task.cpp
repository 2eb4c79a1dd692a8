// Task code 8: the translation check. Read-only: neither document is saved
// and no backup is made. The translation is the document in the file box; its
// source is the second document, or, without one, the document is a tagged
// bilingual one whose pairs are compared. Each finding goes to the log as it
// is found, then all of them to the report beside the translation, and a
// closing message counts them.

#include "engine/check/check_report.h"
#include "engine/check/check_rules.h"
#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"
#include "engine/translation/translation_rules.h"
#include "engine/translation/translation_terms.h"

namespace engine {

namespace {

const QString kTitle = QStringLiteral("翻訳チェック");

// The source document's paragraphs, read through the same engine and closed again unchanged.
QStringList ReadSourceParagraphs(word::Application& word, const QString& path) {
    std::shared_ptr<word::Document> source;
    try {
        source = word.Documents().Open(path, true);
    } catch (const std::exception& e) {
        const auto* we = dynamic_cast<const word::Error*>(&e);
        throw word::Error(QStringLiteral("原文「%1」を開けませんでした。%2")
                              .arg(GetFileNamePart(path), we ? we->message() : QString::fromUtf8(e.what())));
    }
    QStringList paragraphs = check::StoryParagraphs(source->model());
    source->Close(word::wdDoNotSaveChanges);
    return paragraphs;
}

}  // namespace

void TaskRunner::RunTranslationCheck() {
    using namespace translation;
    const TaskOptions options = host_.Options();
    host_.ShowStatus(QStringLiteral("翻訳チェック：読込"));
    const QStringList paragraphs = check::StoryParagraphs(document_->model());
    const bool tagged = options.companionPath.isEmpty();
    Comparison comparison;
    if (tagged) {
        host_.ShowLog(2, QStringLiteral(" .. 対訳タグ付き文書（%1）").arg(options.englishToJapanese ? QStringLiteral("英日") : QStringLiteral("日英")));
        comparison = CompareTagged(paragraphs, options.englishToJapanese ? Language::English : Language::Japanese);
    } else {
        host_.ShowStatus(QStringLiteral("翻訳チェック：原文読込"));
        const QStringList source = ReadSourceParagraphs(*word_, options.companionPath);
        host_.SetProgress(30);
        host_.ShowStatus(QStringLiteral("翻訳チェック：対応付け"));
        comparison = CompareDocuments(source, paragraphs, GetFileNamePart(options.companionPath), GetFileNamePart(documentPath_));
        host_.ShowLog(2, QStringLiteral(" .. 原文：%1（%2）、訳文：%3").arg(options.companionPath, LanguageName(comparison.source.language), LanguageName(comparison.translation.language)));
    }
    if (!options.glossaryFile.isEmpty()) comparison.glossary = ReadGlossary(options.glossaryFile);

    check::Findings findings;
    const auto& rules = TranslationRules();
    for (size_t i = 0; i < rules.size(); ++i) {
        host_.ShowStatus(rules[i].status);
        host_.SetProgress(35 + 55.0 * double(i) / double(rules.size()));
        host_.DoEvents();
        for (check::Finding& f : rules[i].run(comparison)) {
            check::ReportFinding(host_, f);
            findings.push_back(std::move(f));
        }
    }

    // Nothing was changed: the document is closed without saving.
    document_->Close(word::wdDoNotSaveChanges);
    ReleaseWord();

    const QString reportPath = check::ReportPathBeside(documentPath_, kTitle + u'-');
    const QString counts = check::CountsByKind(findings, kTranslationKinds);
    QStringList header = {QStringLiteral("翻訳チェック：%1").arg(documentPath_)};
    if (!tagged) header << QStringLiteral("原文：%1").arg(options.companionPath);
    check::WriteFindingsReport(reportPath, header, findings, counts, documentPath_);
    host_.ShowLog(2, QStringLiteral(" .. チェック結果：") + reportPath);
    host_.ShowStatus(QStringLiteral("翻訳チェック完了"));
    host_.MessageBox(check::ClosingMessage(kTitle, documentPath_, findings, counts, reportPath));
}

}  // namespace engine
