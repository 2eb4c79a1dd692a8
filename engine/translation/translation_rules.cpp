#include "engine/translation/translation_rules.h"

#include "engine/translation/translation_claims.h"
#include "engine/translation/translation_figures.h"
#include "engine/translation/translation_numbers.h"
#include "engine/translation/translation_signs.h"
#include "engine/translation/translation_terms.h"
#include "engine/translation/translation_untranslated.h"
#include "word/automation.h"

namespace engine::translation {

namespace {

Findings AlignmentFindings(const Comparison& c) { return c.alignment; }

}  // namespace

const QStringList kTranslationKinds = {
    QStringLiteral("対応"), QStringLiteral("数値"), QStringLiteral("符号"), QStringLiteral("請求項"),
    QStringLiteral("図表引用"), QStringLiteral("未翻訳"), QStringLiteral("用語"),
};

const std::vector<TranslationRule>& TranslationRules() {
    static const std::vector<TranslationRule> rules = {
        {QStringLiteral("翻訳チェック：対応"), AlignmentFindings},
        {QStringLiteral("翻訳チェック：数値"), CheckNumbers},
        {QStringLiteral("翻訳チェック：符号"), CheckSigns},
        {QStringLiteral("翻訳チェック：請求項"), CheckClaims},
        {QStringLiteral("翻訳チェック：図表引用"), CheckFigureCitations},
        {QStringLiteral("翻訳チェック：未翻訳"), CheckUntranslated},
        {QStringLiteral("翻訳チェック：用語"), CheckTerms},
    };
    return rules;
}

Findings RunTranslationChecks(const Comparison& comparison) {
    Findings all;
    for (const TranslationRule& rule : TranslationRules()) {
        Findings found = rule.run(comparison);
        all.insert(all.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    }
    return all;
}

Comparison CompareDocuments(const QStringList& source, const QStringList& translation, const QString& sourceName,
                            const QString& translationName) {
    const Language sourceLanguage = DetectLanguage(source);
    const Language translationLanguage = DetectLanguage(translation);
    if (sourceLanguage == translationLanguage)
        throw word::Error(QStringLiteral("原文「%1」と訳文「%2」がどちらも%3で書かれています。原文と訳文を確かめてください。")
                              .arg(sourceName, translationName, LanguageName(sourceLanguage)));
    return Compare(ReadDocument(source, sourceLanguage), ReadDocument(translation, translationLanguage));
}

}  // namespace engine::translation
