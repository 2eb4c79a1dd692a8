#pragma once
// Noun phrases from the analyser's tokens: compounds of nouns (kanji and
// katakana words, numbers, letters, a leading prefix such as 第), and chains of
// compounds joined by の (第１の基板, 処理容器の内部). The antecedent and
// support rules compare phrases by their keys: the words in compatibility
// form (ＣＰＵ and CPU alike), the の after an ordinal dropped (第１の基板 and
// 第１基板 alike).

#include "engine/terms/japanese_analyser.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace engine::terms {

// Tokens [first, end) of one compound.
struct Compound {
    int first = 0, end = 0;
    bool content = false;  // holds a noun or a letter, not only numbers and prefixes (第１)
};

// Compounds joined by の, in text order, with the word that refers back to an
// earlier mention (前記, 当該) when one stands right before the first.
struct PhraseChain {
    std::vector<Compound> parts;
    bool refersBack = false;
    int referenceToken = -1;  // the 前記 or 当該
};

// A phrase of parts [from, to] of a chain: its key as words (the last word
// being the head), and where it stands in the paragraph.
struct Phrase {
    QStringList words;
    std::vector<bool> headStarts;  // per word: a head may start there (a noun, not a suffix or の)
    int offset = 0, length = 0;
    QString key() const { return words.join(QString()); }
};

// The chains of a paragraph's tokens.
std::vector<PhraseChain> ReadPhraseChains(const QString& text, const Tokens& tokens);
// The compounds of a paragraph's tokens, each a phrase (chains not joined).
std::vector<Phrase> ReadCompounds(const QString& text, const Tokens& tokens);
Phrase PhraseOf(const QString& text, const Tokens& tokens, const PhraseChain& chain, int from, int to);

// The keys of a phrase's heads: the phrase without the words before some
// noun (半導体基板 → 基板; 第１の基板 → 基板), itself excluded.
QStringList HeadKeys(const Phrase& phrase);

}  // namespace engine::terms
