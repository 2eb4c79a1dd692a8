#pragma once
// Japanese word boundaries and parts of speech from the morphological analyser
// (MeCab with the system's dictionary). A paragraph is analysed once into
// tokens; the rules that read terms (antecedents, support, term variants) take
// the tokens, never the analyser.

#include <QString>

#include <memory>
#include <vector>

namespace engine::terms {

// The parts of speech the term rules tell apart (IPA dictionary classes).
enum class WordClass {
    Noun,           // 名詞 一般, サ変接続, 形容動詞語幹, 固有名詞, 副詞可能, …
    Number,         // 名詞 数: １, 二
    Suffix,         // 名詞 接尾: 部, 上, 性
    DependentNoun,  // 名詞 非自立 and 代名詞: もの, こと, これ
    Prefix,         // 接頭詞: 第, 各, 非
    Letter,         // 記号 アルファベット: Ａ, W
    NoParticle,     // 助詞 連体化: の
    Particle,       // any other 助詞
    Verb,           // 動詞
    Symbol,         // other 記号: 、。（）
    Other,          // adjectives, auxiliaries, adverbs, conjunctions, …
};

struct Token {
    int offset = 0;  // in the paragraph (UTF-16 code units, as Word counts)
    int length = 0;
    WordClass wordClass = WordClass::Other;
    QString reading;  // katakana reading, for tokens holding a kanji; empty when unknown
};
using Tokens = std::vector<Token>;

class JapaneseAnalyser {
public:
    // Loads the dictionary; throws word::Error with a message for the user
    // when the analyser or a UTF-8 dictionary is missing.
    JapaneseAnalyser();
    ~JapaneseAnalyser();
    JapaneseAnalyser(const JapaneseAnalyser&) = delete;
    JapaneseAnalyser& operator=(const JapaneseAnalyser&) = delete;

    Tokens Analyse(const QString& paragraph);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Whether a token's text is made of kanji (々 included), of katakana (ー included).
bool IsKanji(QChar c);
bool IsKatakana(QChar c);

}  // namespace engine::terms
