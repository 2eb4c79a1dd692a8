#pragma once
// Untranslated text (未翻訳): source-language text left in the translation —
// kana or kanji in an English translation; in a Japanese translation an
// English sentence or clause of four or more words. Names, abbreviations,
// formulas, product names and units are no findings: a run counts only when
// it has at least two lower-case words of three letters or more.

#include "engine/translation/translation_alignment.h"

namespace engine::translation {

// The first untranslated run of a translation's text: its place, or none.
std::optional<Place> UntranslatedRun(const QString& translation, Language translationLanguage);

Findings CheckUntranslated(const Comparison& comparison);

}  // namespace engine::translation
