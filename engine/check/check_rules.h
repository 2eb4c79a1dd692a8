#pragma once
// The rules of the check before filing, in the order they run, and the
// document's text as they read it.

#include "engine/check/check_text.h"

#include <functional>

namespace word::ooxml {
class DocumentModel;
}

namespace engine::check {

struct CheckRule {
    QString status;  // the status text while the rule runs
    std::function<Findings(word::ooxml::DocumentModel&, const CheckedText&)> run;
};
const std::vector<CheckRule>& CheckRules();

// The paragraphs of the main story without their marks (table cells included).
QStringList StoryParagraphs(word::ooxml::DocumentModel& model);

// Every rule on a document, in order (the benchmark and the tests).
Findings RunAllChecks(word::ooxml::DocumentModel& model);

// "段落番号 2 件、符号 1 件": the number of findings of each kind, in the kinds' order.
QString CountsByKind(const Findings& findings, const QStringList& kinds = kFindingKinds);

}  // namespace engine::check
