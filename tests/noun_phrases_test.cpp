// Noun phrases from the analyser's tokens: compounds and chains joined by の,
// and the heads a phrase may be referred to by.

#include "engine/terms/noun_phrases.h"

#include <gtest/gtest.h>

namespace {

using namespace engine::terms;

// The keys of every phrase a chain holds from its first part, with 前記 marked.
QStringList ChainKeys(const QString& text) {
    JapaneseAnalyser analyser;
    const Tokens tokens = analyser.Analyse(text);
    QStringList out;
    for (const PhraseChain& chain : ReadPhraseChains(text, tokens))
        out << (chain.refersBack ? "前記:" : "") + PhraseOf(text, tokens, chain, 0, int(chain.parts.size()) - 1).key();
    return out;
}

TEST(NounPhrases, CompoundsAndChains) {
    const struct {
        const char* text;
        QStringList keys;
    } cases[] = {
        {"第１の基板を保持する保持部", {"第1基板", "保持", "保持部"}},
        {"前記処理容器の内部の温度を測る", {"前記:処理容器の内部の温度"}},
        {"ＣＰＵとCPUを備える", {"CPU", "CPU"}},
        {"基板上の膜と装置全体", {"基板", "膜", "装置", "全体"}},
        {"ガス供給部２０から", {"ガス供給部20"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ChainKeys(c.text), c.keys) << c.text;
}

TEST(NounPhrases, HeadsOfAPhrase) {
    JapaneseAnalyser analyser;
    const QString text = "半導体基板と第１の基板";
    const Tokens tokens = analyser.Analyse(text);
    QStringList heads;
    for (const PhraseChain& chain : ReadPhraseChains(text, tokens))
        heads << HeadKeys(PhraseOf(text, tokens, chain, 0, int(chain.parts.size()) - 1)).join(u',');
    EXPECT_EQ(heads, QStringList({"基板", "基板"}));
}

TEST(JapaneseAnalyser, OffsetsInUtf16) {
    JapaneseAnalyser analyser;
    const QString text = "𠮷野の基板";  // a character outside the BMP counts two
    const Tokens tokens = analyser.Analyse(text);
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(text.mid(tokens.back().offset, tokens.back().length), "基板");
    EXPECT_EQ(tokens.back().reading, "キバン");
}

}  // namespace
