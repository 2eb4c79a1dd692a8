#include "engine/check/check_rules.h"

#include "engine/check/check_antecedents.h"
#include "engine/check/check_characters.h"
#include "engine/check/check_claims.h"
#include "engine/check/check_figures.h"
#include "engine/check/check_formalities.h"
#include "engine/check/check_headings.h"
#include "engine/check/check_images.h"
#include "engine/check/check_numbering.h"
#include "engine/check/check_signs.h"
#include "engine/check/check_support.h"
#include "engine/check/check_variants.h"
#include "word/ooxml/document_model.h"

#include <map>

namespace engine::check {

namespace {

// A rule that reads only the text.
template <Findings (*Rule)(const CheckedText&)>
Findings OnText(word::ooxml::DocumentModel&, const CheckedText& text) {
    return Rule(text);
}

}  // namespace

const std::vector<CheckRule>& CheckRules() {
    static const std::vector<CheckRule> rules = {
        {QStringLiteral("出願前チェック：段落番号"), OnText<CheckParagraphNumbers>},
        {QStringLiteral("出願前チェック：請求項番号"), OnText<CheckClaimNumbers>},
        {QStringLiteral("出願前チェック：請求項引用"), OnText<CheckClaimCitations>},
        {QStringLiteral("出願前チェック：マルチマルチ"), OnText<CheckMultipleDependency>},
        {QStringLiteral("出願前チェック：図番号・図引用"), OnText<CheckFigures>},
        {QStringLiteral("出願前チェック：表・化・数番号"), OnText<CheckNumberedItems>},
        {QStringLiteral("出願前チェック：表・化・数引用"), OnText<CheckItemCitations>},
        {QStringLiteral("出願前チェック：符号"), OnText<CheckReferenceSigns>},
        {QStringLiteral("出願前チェック：使用不可文字"), OnText<CheckCharacters>},
        {QStringLiteral("出願前チェック：見出し"), OnText<CheckHeadings>},
        {QStringLiteral("出願前チェック：イメージ"), CheckImages},
        {QStringLiteral("出願前チェック：前記"), OnText<CheckAntecedents>},
        {QStringLiteral("出願前チェック：サポート"), OnText<CheckSupport>},
        {QStringLiteral("出願前チェック：表記揺れ"), OnText<CheckTermVariants>},
        {QStringLiteral("出願前チェック：様式"), OnText<CheckFormalities>},
    };
    return rules;
}

QStringList StoryParagraphs(word::ooxml::DocumentModel& model) {
    const QString& story = model.text();
    const int count = model.paragraphCount();
    QStringList paragraphs;
    paragraphs.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto [start, end] = model.paragraphSpan(i);
        paragraphs << story.mid(start, std::max(0, end - start - 1));
    }
    return paragraphs;
}

Findings RunAllChecks(word::ooxml::DocumentModel& model) {
    const CheckedText text(StoryParagraphs(model));
    Findings all;
    for (const CheckRule& rule : CheckRules()) {
        Findings found = rule.run(model, text);
        all.insert(all.end(), found.begin(), found.end());
    }
    return all;
}

QString CountsByKind(const Findings& findings, const QStringList& kinds) {
    std::map<QString, int> counts;
    for (const Finding& f : findings) ++counts[f.kind];
    QStringList parts;
    for (const QString& kind : kinds)
        if (counts.count(kind)) parts << QStringLiteral("%1 %2 件").arg(kind).arg(counts[kind]);
    return parts.join(QStringLiteral("、"));
}

}  // namespace engine::check
