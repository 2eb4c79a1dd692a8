#include "engine/translation/translation_claims.h"

#include "engine/citations/claim_citations.h"

#include <array>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("請求項");

struct CategoryWord {
    const char16_t* word;
    const char16_t* category;
};
// The last word of a Japanese claim, longest first.
const std::array<CategoryWord, 12> kJapaneseCategories = {{
    {u"記録媒体", u"媒体"}, {u"記憶媒体", u"媒体"}, {u"媒体", u"媒体"}, {u"プログラム", u"プログラム"},
    {u"方法", u"方法"}, {u"装置", u"装置"}, {u"システム", u"装置"}, {u"機器", u"装置"}, {u"デバイス", u"装置"},
    {u"組成物", u"組成物"}, {u"化合物", u"化合物"}, {u"機", u"装置"},
}};
// The head noun of an English claim's preamble.
const std::array<CategoryWord, 14> kEnglishCategories = {{
    {u"method", u"方法"}, {u"process", u"方法"}, {u"apparatus", u"装置"}, {u"device", u"装置"}, {u"system", u"装置"},
    {u"machine", u"装置"}, {u"equipment", u"装置"}, {u"program", u"プログラム"}, {u"software", u"プログラム"},
    {u"medium", u"媒体"}, {u"media", u"媒体"}, {u"composition", u"組成物"}, {u"compound", u"化合物"},
    {u"unit", u"装置"},
}};
// Words that end an English preamble: the category noun stands before them.
const std::array<const char16_t*, 12> kPreambleEnds = {
    u"comprising", u"comprises", u"including", u"includes", u"having", u"according", u"wherein", u"which",
    u"that", u"storing", u"consisting", u"characterized",
};

QString IntervalsOrNone(const CitedIntervals& set) {
    return set.empty() ? QStringLiteral("なし") : IntervalsText(set);
}

// Where a claim's first citation stands, for the excerpt.
Place FirstCitation(const QString& text, Language language) {
    const std::vector<ClaimCitation> citations =
        language == Language::English ? ReadEnglishClaimCitations(text) : ReadClaimCitations(text);
    if (citations.empty()) return {};
    return {citations[0].start, citations[0].end - citations[0].start};
}

}  // namespace

QString ClaimCategory(const QString& claimText, Language language) {
    if (language == Language::Japanese) {
        QString text = claimText.trimmed();
        while (text.endsWith(u'。') || text.endsWith(u'.')) text.chop(1);
        for (const CategoryWord& c : kJapaneseCategories)
            if (text.endsWith(QString::fromUtf16(c.word))) return QString::fromUtf16(c.category);
        return {};
    }
    const QStringList words = claimText.simplified().toLower().split(u' ');
    for (int i = 0; i < words.size() && i < 16; ++i) {
        QString word = words[i];
        const bool comma = word.endsWith(u',');
        while (!word.isEmpty() && !word.back().isLetter()) word.chop(1);
        for (const char16_t* end : kPreambleEnds)
            if (word == QString::fromUtf16(end)) return {};
        for (const CategoryWord& c : kEnglishCategories)
            if (word == QString::fromUtf16(c.word)) return QString::fromUtf16(c.category);
        if (comma) return {};
    }
    return {};
}

CitedIntervals CitedClaimsOf(const QString& claimText, int claimNumber, Language language) {
    const std::vector<ClaimCitation> citations =
        language == Language::English ? ReadEnglishClaimCitations(claimText) : ReadClaimCitations(claimText);
    CitedIntervals all;
    for (const ClaimCitation& c : citations)
        for (const auto& interval : CitedClaims(c, claimNumber)) all.push_back(interval);
    return Normalised(std::move(all));
}

Findings CheckClaims(const Comparison& c) {
    Findings out;
    int sourceClaims = 0, translationClaims = 0;
    for (const Unit& u : c.source.units) sourceClaims += u.kind == UnitKind::Claim && !u.repeated;
    for (const Unit& u : c.translation.units) translationClaims += u.kind == UnitKind::Claim && !u.repeated;
    const bool tagged = !c.pairs.empty() && c.pairs.front().source->kind == UnitKind::Pair;
    if (sourceClaims != translationClaims && !tagged) {
        const auto first = std::find_if(c.translation.units.begin(), c.translation.units.end(),
                                        [](const Unit& u) { return u.kind == UnitKind::Claim; });
        out.push_back({kKind, first == c.translation.units.end() ? QStringLiteral("冒頭") : UnitName(*first),
                       QStringLiteral("請求項の数が違う（原文 %1、訳文 %2）").arg(sourceClaims).arg(translationClaims)});
    }
    for (const UnitPair& pair : c.pairs) {
        if (pair.source->kind != UnitKind::Claim || pair.translation->kind != UnitKind::Claim) continue;
        const int number = pair.source->number;
        const QString sourceCategory = ClaimCategory(pair.source->text, c.source.language);
        const QString translationCategory = ClaimCategory(pair.translation->text, c.translation.language);
        if (!sourceCategory.isEmpty() && !translationCategory.isEmpty() && sourceCategory != translationCategory)
            out.push_back(PairFinding(kKind, pair,
                                      QStringLiteral("請求項%1のカテゴリーが違う（原文「%2」、訳文「%3」）")
                                          .arg(number).arg(sourceCategory, translationCategory)));
        const CitedIntervals source = CitedClaimsOf(pair.source->text, number, c.source.language);
        const CitedIntervals translation = CitedClaimsOf(pair.translation->text, number, c.translation.language);
        if (source != translation)
            out.push_back(PairFinding(kKind, pair,
                                      QStringLiteral("請求項%1の引用する請求項が違う（原文 %2、訳文 %3）")
                                          .arg(number).arg(IntervalsOrNone(source), IntervalsOrNone(translation)),
                                      FirstCitation(pair.source->text, c.source.language),
                                      FirstCitation(pair.translation->text, c.translation.language)));
    }
    return out;
}

}  // namespace engine::translation
