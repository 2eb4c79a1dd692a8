#include "engine/terms/noun_phrases.h"

#include <optional>

namespace engine::terms {

namespace {

// Words that point back to an earlier mention rather than being a term.
bool IsReferenceWord(QStringView word) { return word == u"前記" || word == u"当該"; }

bool IsPlaceWord(QStringView word) {
    static const QStringList words = {"上", "内", "中", "下", "外", "間", "毎", "等", "同士", "全体", "自体", "付近",
                                      "近傍", "以上", "以下", "未満", "以外", "前", "後", "時", "際"};
    return words.contains(word);
}

bool JoinsCompound(WordClass c) {
    return c == WordClass::Noun || c == WordClass::Number || c == WordClass::Suffix || c == WordClass::Letter;
}

bool StartsCompound(WordClass c) {
    return c == WordClass::Noun || c == WordClass::Number || c == WordClass::Prefix || c == WordClass::Letter;
}

QStringView Surface(const QString& text, const Token& t) { return QStringView(text).mid(t.offset, t.length); }

// The compound starting at token i, if one does; a reference word ends it.
std::optional<Compound> CompoundAt(const QString& text, const Tokens& tokens, int i) {
    const int n = int(tokens.size());
    if (i >= n || !StartsCompound(tokens[i].wordClass) || IsReferenceWord(Surface(text, tokens[i]))) return std::nullopt;
    Compound c{i, i, false};
    while (c.end < n && tokens[c.end].wordClass == WordClass::Prefix) ++c.end;
    while (c.end < n && JoinsCompound(tokens[c.end].wordClass) && !IsReferenceWord(Surface(text, tokens[c.end]))) ++c.end;
    // 基板上, 容器内, 装置全体: a word of place or extent after the term is not part of it.
    while (c.end - c.first > 1 && IsPlaceWord(Surface(text, tokens[c.end - 1]))) --c.end;
    if (c.end == c.first || tokens[c.end - 1].wordClass == WordClass::Prefix) return std::nullopt;
    c.content = false;
    for (int t = c.first; t < c.end; ++t)
        if (tokens[t].wordClass == WordClass::Noun || tokens[t].wordClass == WordClass::Letter) c.content = true;
    return c;
}

bool Adjacent(const Tokens& tokens, int a, int b) { return tokens[a].offset + tokens[a].length == tokens[b].offset; }

}  // namespace

std::vector<PhraseChain> ReadPhraseChains(const QString& text, const Tokens& tokens) {
    std::vector<PhraseChain> chains;
    const int n = int(tokens.size());
    for (int i = 0; i < n;) {
        auto compound = CompoundAt(text, tokens, i);
        if (!compound) {
            ++i;
            continue;
        }
        PhraseChain chain;
        if (i > 0 && IsReferenceWord(Surface(text, tokens[i - 1])) && Adjacent(tokens, i - 1, i)) {
            chain.refersBack = true;
            chain.referenceToken = i - 1;
        }
        chain.parts.push_back(*compound);
        i = compound->end;
        // の and the next compound, directly after.
        while (i + 1 < n && tokens[i].wordClass == WordClass::NoParticle && Adjacent(tokens, i - 1, i) &&
               Adjacent(tokens, i, i + 1)) {
            auto next = CompoundAt(text, tokens, i + 1);
            if (!next) break;
            chain.parts.push_back(*next);
            i = next->end;
        }
        chains.push_back(std::move(chain));
    }
    return chains;
}

Phrase PhraseOf(const QString& text, const Tokens& tokens, const PhraseChain& chain, int from, int to) {
    Phrase phrase;
    for (int part = from; part <= to; ++part) {
        const Compound& c = chain.parts[part];
        // の after an ordinal (第１の基板) is dropped; any other の is a word of the phrase.
        if (part > from && chain.parts[part - 1].content) {
            phrase.words << QStringLiteral("の");
            phrase.headStarts.push_back(false);
        }
        for (int t = c.first; t < c.end; ++t) {
            phrase.words << Surface(text, tokens[t]).toString().normalized(QString::NormalizationForm_KC);
            const WordClass wc = tokens[t].wordClass;
            const bool noun = wc == WordClass::Noun || wc == WordClass::Letter;
            phrase.headStarts.push_back(noun && (t > c.first ? tokens[t - 1].wordClass != WordClass::Prefix : part > from));
        }
    }
    const Token& first = tokens[chain.parts[from].first];
    const Token& last = tokens[chain.parts[to].end - 1];
    phrase.offset = first.offset;
    phrase.length = last.offset + last.length - first.offset;
    return phrase;
}

std::vector<Phrase> ReadCompounds(const QString& text, const Tokens& tokens) {
    std::vector<Phrase> out;
    for (const PhraseChain& chain : ReadPhraseChains(text, tokens))
        for (int part = 0; part < int(chain.parts.size()); ++part)
            if (chain.parts[part].content) out.push_back(PhraseOf(text, tokens, chain, part, part));
    return out;
}

QStringList HeadKeys(const Phrase& phrase) {
    QStringList heads;
    for (int w = 1; w < phrase.words.size(); ++w)
        if (phrase.headStarts[w]) heads << phrase.words.mid(w).join(QString());
    return heads;
}

}  // namespace engine::terms
