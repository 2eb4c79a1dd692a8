// The claim-citation reader: a head (請求項, 請求の範囲), the cited elements,
// and the words after them that make the citation a choice (のいずれか).

#include "engine/citations/claim_citations.h"

#include <array>

namespace engine {

namespace {

const QString kClaimHead = QStringLiteral("請求項");
const QString kClaimsHead = QStringLiteral("請求の範囲");

// 特許文献１の請求項３, 特開２０２０－１２３４５６号公報の請求項１, 米国特許第…号の
// 特許請求の範囲第２項: claims of another document.
bool OfAnotherDocument(const QString& text, int headStart) {
    int pos = headStart;
    if (StartsAt(text, pos - 2, QStringLiteral("特許"))) pos -= 2;
    if (!StartsAt(text, pos - 1, QStringLiteral("の"))) return false;
    --pos;
    while (pos > 0 && ScanNumeral(text, pos - 1, false)) --pos;
    for (const char16_t* word : {u"号", u"公報", u"文献", u"明細書"})
        if (QStringView(text).left(pos).endsWith(QStringView(word))) return true;
    return false;
}

// The citation whose head stands at headStart, if numbers follow the head.
std::optional<ClaimCitation> ReadCitationAt(const QString& text, int headStart, const QString& head) {
    // 【請求項３】 names the claim itself.
    if (headStart > 0 && text[headStart - 1] == u'【') return std::nullopt;
    if (OfAnotherDocument(text, headStart)) return std::nullopt;
    ClaimCitation citation;
    citation.elements = ReadCitedElements(text, headStart + static_cast<int>(head.size()), ClaimGrammar());
    if (citation.elements.empty()) return std::nullopt;
    citation.start = headStart;
    citation.end = citation.elements.back().end;
    bool choiceWord = ChoiceFollows(text, citation.end);
    long long count = 0;
    for (const CitedElement& element : citation.elements) {
        for (const NumberRange& range : RangesOf(element)) {
            citation.claims.push_back(range);
            count += range.count();
        }
        if (IsAlternativeConnector(element.connector)) choiceWord = true;
    }
    const bool several = count > 1;
    citation.alternative = several && choiceWord;
    citation.cumulative = several && !choiceWord;
    return citation;
}

}  // namespace

const CitationGrammar& ClaimGrammar() {
    static const CitationGrammar grammar{{kClaimHead, kClaimsHead}, true, true, false};
    return grammar;
}

std::vector<ClaimCitation> ReadClaimCitations(const QString& text) {
    std::vector<ClaimCitation> citations;
    const QString stem = QStringLiteral("請求");
    for (qsizetype at = text.indexOf(stem); at >= 0; at = text.indexOf(stem, at + 1)) {
        const int headStart = static_cast<int>(at);
        std::optional<ClaimCitation> citation;
        for (const QString& head : ClaimGrammar().heads)
            if (StartsAt(text, headStart, head)) citation = ReadCitationAt(text, headStart, head);
        if (!citation) continue;
        at = citation->end - 1;
        citations.push_back(std::move(*citation));
    }
    return citations;
}

}  // namespace engine
