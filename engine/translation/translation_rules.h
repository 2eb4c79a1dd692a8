#pragma once
// The checks of a translation, in the order they run, each a function from
// the aligned documents to findings.

#include "engine/translation/translation_alignment.h"

namespace engine::translation {

// The kinds, in the order the checks run and the closing message counts them.
extern const QStringList kTranslationKinds;

struct TranslationRule {
    QString status;  // the status text while the rule runs
    Findings (*run)(const Comparison&);
};
const std::vector<TranslationRule>& TranslationRules();

// Every rule on a comparison, in order (the benchmark and the tests).
Findings RunTranslationChecks(const Comparison& comparison);

// The two documents' paragraphs compared: languages read from the texts.
// Throws word::Error when both are in one language.
Comparison CompareDocuments(const QStringList& source, const QStringList& translation, const QString& sourceName,
                            const QString& translationName);

}  // namespace engine::translation
