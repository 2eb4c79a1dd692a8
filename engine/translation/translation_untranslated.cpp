#include "engine/translation/translation_untranslated.h"

#include <QRegularExpression>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("未翻訳");

std::optional<Place> JapaneseRun(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsJapaneseCharacter(text[i])) continue;
        qsizetype end = i;
        while (end < text.size() && (IsJapaneseCharacter(text[end]) || text[end] == u'ー' || text[end] == u'、')) ++end;
        return Place{i, end - i};
    }
    return std::nullopt;
}

std::optional<Place> EnglishClause(const QString& text) {
    static const QRegularExpression run(QStringLiteral(R"([A-Za-z][A-Za-z'’\-]*(?:[ ,;:]+[A-Za-z][A-Za-z'’\-]*){3,})"));
    static const QRegularExpression lowerWord(QStringLiteral(R"((?<![A-Za-z])[a-z]{3,}(?![A-Za-z]))"));
    for (auto it = run.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        int lower = 0;
        for (auto w = lowerWord.globalMatch(m.captured(0)); w.hasNext() && lower < 2; w.next()) ++lower;
        if (lower >= 2) return Place{m.capturedStart(0), m.capturedLength(0)};
    }
    return std::nullopt;
}

}  // namespace

std::optional<Place> UntranslatedRun(const QString& translation, Language translationLanguage) {
    return translationLanguage == Language::English ? JapaneseRun(translation) : EnglishClause(translation);
}

Findings CheckUntranslated(const Comparison& c) {
    Findings out;
    if (c.source.language == c.translation.language) return out;
    for (const UnitPair& pair : c.pairs) {
        const std::optional<Place> run = UntranslatedRun(pair.translation->text, c.translation.language);
        if (!run) continue;
        out.push_back(PairFinding(kKind, pair,
                                  QStringLiteral("訳文に%1が残っている").arg(LanguageName(c.source.language)), {}, *run));
    }
    return out;
}

}  // namespace engine::translation
