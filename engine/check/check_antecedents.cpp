#include "engine/check/check_antecedents.h"

#include "engine/check/check_claims.h"
#include "engine/citations/claim_citations.h"
#include "engine/terms/noun_phrases.h"
#include "engine/text_helpers.h"

#include <QSet>

#include <map>
#include <optional>
#include <set>
#include <unordered_map>

namespace engine::check {

namespace {

using terms::Phrase;
using terms::PhraseChain;
using terms::Token;

const QString kKind = QStringLiteral("前記");

// Words after 前記 that name no term of their own (前記一方, 前記所定の値).
bool IsGenericWord(const QString& key) {
    static const QSet<QString> words = {"一方", "他方", "両者", "各", "それぞれ", "所定", "複数", "全て", "すべて",
                                        "少なくとも", "いずれか", "一部", "全部", "うち", "間"};
    return words.contains(key);
}

// Words after a term that introduce it anew in a dependent claim (Ｘをさらに備える).
bool IntroducesAnew(QStringView after) {
    for (const char16_t* w : {u"をさらに", u"を更に", u"を備え", u"を有し", u"を有す", u"を含み", u"を含む", u"をも"})
        if (after.startsWith(QStringView(w))) return true;
    return false;
}

// 前記Ｘ in a claim: the phrases Ｘ may be, longest first, and where it stands.
struct Reference {
    std::vector<QString> keys;     // 前記第１の基板の表面 → 第１基板の表面, 第１基板
    std::vector<QString> written;  // as written, in the same order
    QString word;                  // 前記 or 当該
    int reported = -1;             // the phrase a finding names: the shortest of the whole chain
    int order = 0;                 // of the mention in its claim
    int paragraph = 0, offset = 0, length = 0;
};

// A group of cited claims: all of them (a choice or a single claim) or any (及び).
struct CitedGroup {
    bool everyBranch = true;
    std::vector<std::pair<int, int>> ranges;
};

// What one claim says: the terms it introduces, its references, its citations.
struct ClaimTerms {
    int number = 0;
    std::unordered_map<QString, int> introduced;                  // key → order of its first mention
    // head key → full key → the order of its first mention and the phrase as written
    std::unordered_map<QString, std::map<QString, std::pair<int, QString>>> byHead;
    std::set<QString> introducedAnew;                              // keys introduced with さらに備える and the like
    std::vector<Reference> references;
    std::vector<CitedGroup> cited;
};

void Introduce(ClaimTerms& claim, const QString& line, const Phrase& phrase, int order, bool anew) {
    const QString key = phrase.key();
    claim.introduced.try_emplace(key, order);
    for (const QString& head : terms::HeadKeys(phrase))
        claim.byHead[head].try_emplace(key, order, line.mid(phrase.offset, phrase.length));
    if (anew) claim.introducedAnew.insert(key);
}

// 前記検出された温度: 前記 stands before a clause, not before a term; its
// term is not read here.
bool StartsClause(const terms::Tokens& tokens, const PhraseChain& chain) {
    const int after = chain.parts.back().end;
    return chain.parts.size() == 1 && after < int(tokens.size()) && tokens[after].wordClass == terms::WordClass::Verb;
}

// The phrases Ｘ of 前記Ｘ may be: the chain of compounds after it, longest
// first, then without a general word in front (前記一方の端部 → 端部) or
// without a prefix (前記各基板 → 基板).
std::optional<Reference> ReferenceOf(const QString& line, const terms::Tokens& tokens, const PhraseChain& chain,
                                     int firstContent) {
    Reference ref;
    const Token& word = tokens[chain.referenceToken];
    ref.word = line.mid(word.offset, word.length);
    ref.offset = word.offset;
    auto add = [&](const PhraseChain& c, int from, int to, bool whole) {
        if (!c.parts[to].content) return;
        const Phrase phrase = terms::PhraseOf(line, tokens, c, from, to);
        if (IsGenericWord(phrase.key())) return;
        ref.keys.push_back(phrase.key());
        ref.written.push_back(line.mid(phrase.offset, phrase.length));
        if (ref.reported < 0 || whole) {
            ref.reported = int(ref.keys.size()) - 1;
            ref.length = phrase.offset + phrase.length - ref.offset;
        }
    };
    const int parts = int(chain.parts.size());
    for (int to = parts - 1; to >= firstContent; --to) add(chain, 0, to, true);
    if (parts > 1 && IsGenericWord(terms::PhraseOf(line, tokens, chain, 0, 0).key()))
        for (int to = parts - 1; to >= 1; --to) add(chain, 1, to, false);
    const terms::Compound& first = chain.parts.front();
    if (tokens[first.first].wordClass == terms::WordClass::Prefix && first.end - first.first > 1 &&
        QStringView(line).mid(tokens[first.first].offset, tokens[first.first].length) != u"第") {
        PhraseChain trimmed = chain;
        ++trimmed.parts.front().first;
        for (int to = parts - 1; to >= 0; --to) add(trimmed, 0, to, false);
    }
    if (ref.keys.empty()) return std::nullopt;
    return ref;
}

// The mentions of one paragraph of a claim, from offset `from` on.
void ReadMentions(const CheckedText& text, int p, int from, bool dependent, ClaimTerms& claim, int& order) {
    const QString& line = text[p];
    const terms::Tokens& tokens = text.tokens(p);
    for (const PhraseChain& chain : terms::ReadPhraseChains(line, tokens)) {
        if (tokens[chain.parts.front().first].offset < from) continue;
        const int parts = int(chain.parts.size());
        int firstContent = 0;
        while (firstContent < parts && !chain.parts[firstContent].content) ++firstContent;
        if (firstContent == parts) continue;
        ++order;
        if (chain.refersBack && !StartsClause(tokens, chain)) {
            if (auto ref = ReferenceOf(line, tokens, chain, firstContent)) {
                ref->order = order;
                ref->paragraph = p;
                claim.references.push_back(std::move(*ref));
            }
        }
        const Phrase whole = terms::PhraseOf(line, tokens, chain, 0, parts - 1);
        const bool anew = !chain.refersBack && dependent && IntroducesAnew(QStringView(line).mid(whole.offset + whole.length));
        // Every part of the chain and every run of parts is a term the claim
        // names; after 前記 the part referred to is not named anew.
        for (int a = 0; a < parts; ++a)
            for (int b = a; b < parts; ++b) {
                // 基板 of 第１の基板 is not a term of its own.
                if (!chain.parts[b].content || (chain.refersBack && a == 0 && b == firstContent) ||
                    (a > 0 && !chain.parts[a - 1].content))
                    continue;
                Introduce(claim, line, terms::PhraseOf(line, tokens, chain, a, b), order, anew && a == 0 && b == parts - 1);
            }
    }
}

std::vector<CitedGroup> CitedGroups(const CheckedText& text, const Claim& c) {
    std::vector<CitedGroup> groups;
    for (int p = c.paragraph; p <= c.lastParagraph; ++p)
        for (const ClaimCitation& citation : ReadClaimCitations(text[p])) {
            CitedGroup group{!citation.cumulative, {}};
            for (const CitedElement& e : citation.elements) {
                const int first = e.first.value, last = e.last ? e.last->value : first;
                if (first >= 0 && last >= first) group.ranges.push_back({first, last});
            }
            if (!group.ranges.empty()) groups.push_back(std::move(group));
        }
    return groups;
}

// Where a term was found in a claim and the claims it cites.
struct Reach {
    bool exact = false;
    std::map<QString, QString> heads;  // phrases whose head is the term: key → as written
    int introductions = 0;    // claims on one path that introduce the term itself
    bool ambiguous = false;   // a branch holds several phrases with that head
    bool found() const { return exact || !heads.empty(); }
};

Reach Either(Reach a, const Reach& b) {
    a.exact = a.exact || b.exact;
    a.heads.insert(b.heads.begin(), b.heads.end());
    a.introductions += b.introductions;
    a.ambiguous = a.ambiguous || b.ambiguous;
    return a;
}

class AntecedentReader {
public:
    explicit AntecedentReader(const CheckedText& text) : text_(text) {
        const std::vector<Claim> claims = ReadClaims(text);
        for (const Claim& c : claims) {
            ClaimTerms terms;
            terms.number = c.number;
            terms.cited = CitedGroups(text, c);
            int order = 0;
            for (int p = c.paragraph; p <= c.lastParagraph; ++p)
                ReadMentions(text, p, p == c.paragraph ? int(c.offset + c.length) : 0, !terms.cited.empty(), terms, order);
            index_.try_emplace(c.number, int(claims_.size()));
            claims_.push_back(std::move(terms));
        }
        memo_.resize(claims_.size());
    }

    Findings Check() {
        Findings out;
        for (int i = 0; i < int(claims_.size()); ++i) {
            if (claims_[i].references.empty()) continue;
            const std::set<int> chain = Chain(i);
            std::set<QString> reported;
            for (const Reference& ref : claims_[i].references)
                if (!reported.count(ref.keys[ref.reported])) {
                    const Findings found = Judge(i, ref, chain);
                    if (!found.empty()) reported.insert(ref.keys[ref.reported]);
                    out.insert(out.end(), found.begin(), found.end());
                }
        }
        return out;
    }

private:
    // The term in claim i itself, before the mention `before` (all of it when 0).
    Reach Own(int i, const QString& key, int before) const {
        const ClaimTerms& claim = claims_[i];
        Reach reach;
        const auto exact = claim.introduced.find(key);
        reach.exact = exact != claim.introduced.end() && (before == 0 || exact->second < before);
        if (reach.exact && (claim.cited.empty() || claim.introducedAnew.count(key))) reach.introductions = 1;
        const auto heads = claim.byHead.find(key);
        if (heads != claim.byHead.end())
            for (const auto& [full, mention] : heads->second)
                if (before == 0 || mention.first < before) reach.heads.emplace(full, mention.second);
        return reach;
    }

    // The term in the claims that claim i cites, through their own citations.
    Reach Cited(int i, const QString& key) {
        Reach total;
        for (const CitedGroup& group : claims_[i].cited) {
            std::vector<Reach> branches;
            for (int n : ExistingCited(group, claims_[i].number)) branches.push_back(Whole(index_.at(n), key));
            if (branches.empty()) continue;
            total = Either(std::move(total), group.everyBranch ? Every(branches) : Any(branches));
        }
        return total;
    }

    static Reach Every(const std::vector<Reach>& branches) {
        Reach all;
        all.exact = true;
        for (const Reach& b : branches) {
            if (!b.found()) return {};
            all.exact = all.exact && b.exact;
            if (!b.exact) all.heads.insert(b.heads.begin(), b.heads.end());
            all.introductions = std::max(all.introductions, b.introductions);
            all.ambiguous = all.ambiguous || b.ambiguous || (!b.exact && b.heads.size() > 1);
        }
        return all;
    }

    static Reach Any(const std::vector<Reach>& branches) {
        Reach any;
        for (const Reach& b : branches) any = Either(std::move(any), b);
        return any;
    }

    Reach Whole(int i, const QString& key) {
        auto& memo = memo_[i];
        if (const auto found = memo.find(key); found != memo.end()) return found->second;
        // A chain deeper than any real claim set (citing later claims all the
        // way) is taken as holding the term rather than followed on the stack.
        if (depth_ > kDeepestChain) {
            Reach assumed;
            assumed.exact = true;
            return assumed;
        }
        memo.emplace(key, Reach{});  // a cycle of citations finds nothing more
        ++depth_;
        const Reach reach = Either(Own(i, key, 0), Cited(i, key));
        --depth_;
        memo_[i][key] = reach;
        return reach;
    }

    // The claims of a group that exist, other than the citing claim (one that
    // comes later is followed too: that citation is a finding of its own).
    std::vector<int> ExistingCited(const CitedGroup& group, int citing) const {
        std::vector<int> out;
        for (const auto& [first, last] : group.ranges)
            for (auto it = index_.lower_bound(first); it != index_.end() && it->first <= last; ++it)
                if (it->first != citing) out.push_back(it->first);
        return out;
    }

    // Claim i and every claim its citations reach, for the finding's text.
    std::set<int> Chain(int i) const {
        std::set<int> seen{claims_[i].number};
        std::vector<int> todo{i};
        while (!todo.empty()) {
            const int c = todo.back();
            todo.pop_back();
            for (const CitedGroup& group : claims_[c].cited)
                for (int n : ExistingCited(group, claims_[c].number))
                    if (seen.insert(n).second) todo.push_back(index_.at(n));
        }
        return seen;
    }

    Findings Judge(int i, const Reference& ref, const std::set<int>& chain) {
        for (size_t k = 0; k < ref.keys.size(); ++k) {
            // The claims of the chain from the first on, so that each one finds
            // the claims it cites already read and no chain is followed deeply.
            for (int n : chain)
                if (n != claims_[i].number) Whole(index_.at(n), ref.keys[k]);
            const Reach reach = Either(Own(i, ref.keys[k], ref.order), Cited(i, ref.keys[k]));
            if (!reach.found()) continue;
            if (reach.exact && reach.introductions < 2) return {};
            if (reach.exact)
                return {Report(chain, ref, QStringLiteral("「%1」が二度導入されていて、「%2」がどちらを指すか分からない")
                                           .arg(ref.written[k], ref.word + ref.written[k]))};
            if (!reach.ambiguous && reach.heads.size() == 1) return {};
            QStringList candidates;
            for (const auto& [key, written] : reach.heads) candidates << u'「' + written + u'」';
            return {Report(chain, ref, QStringLiteral("「%1」が%2のどれを指すか分からない")
                                       .arg(ref.word + ref.written[k], candidates.mid(0, 4).join(QString())))};
        }
        return {Report(chain, ref, QStringLiteral("「%1」に対応する「%2」が先に記載されていない")
                                   .arg(ref.word + ref.written[ref.reported], ref.written[ref.reported]))};
    }

    Finding Report(const std::set<int>& chain, const Reference& ref, const QString& what) const {
        return text_.finding(kKind, ref.paragraph, ref.offset, ref.length,
                             what + QStringLiteral("（%1を探した）").arg(ClaimRanges(chain)));
    }

    static QString ClaimRanges(const std::set<int>& numbers) {
        QStringList names;
        for (auto it = numbers.begin(); it != numbers.end();) {
            const int first = *it;
            int last = first;
            while (++it != numbers.end() && *it == last + 1) ++last;
            QString name = QStringLiteral("請求項") + ToFullWidthDigits(QString::number(first));
            if (last > first) name += u'～' + ToFullWidthDigits(QString::number(last));
            names << name;
        }
        return names.mid(0, 8).join(u'、') + (names.size() > 8 ? QStringLiteral("ほか") : QString());
    }

    const CheckedText& text_;
    std::vector<ClaimTerms> claims_;
    std::map<int, int> index_;  // claim number → claims_ index (the first claim of that number)
    std::vector<std::unordered_map<QString, Reach>> memo_;
    static constexpr int kDeepestChain = 500;
    int depth_ = 0;
};

}  // namespace

Findings CheckAntecedents(const CheckedText& text) { return AntecedentReader(text).Check(); }

}  // namespace engine::check
