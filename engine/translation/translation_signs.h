#pragma once
// Reference signs (符号): the signs of each unit agree (基板１０ ↔ substrate
// 10, 基板（１０） ↔ substrate (10), １０ａ ↔ 10a, １０′ ↔ 10'); across the
// translation each sign is written after one term (its own reference-signs
// list's, else the one most used); the two lists agree entry by entry.

#include "engine/translation/translation_alignment.h"

#include <QSet>

namespace engine::translation {

// A sign in running text and the word in front of it ("substrate"; for
// Japanese the kanji or katakana run, 基板).
struct SignInText {
    QString sign;  // normalised (full-width digits and letters, ′)
    qsizetype start = 0, end = 0;
    QString word;
};
std::vector<SignInText> ReadSignsInText(const QString& text, Language language);

// The whole numbers of the signs in a text (10 for 10a).
QSet<int> SignNumbers(const QString& text, Language language);

// The entries of a document's reference-signs list, in order: sign and term.
struct ListedSign {
    QString sign;
    QString term;
};
std::vector<ListedSign> ReadDocumentSignList(const Document& document);

Findings CheckSigns(const Comparison& comparison);

}  // namespace engine::translation
