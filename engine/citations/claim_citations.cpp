// The claim-citation reader: a head (請求項, 請求の範囲), the cited elements,
// and the words after them that make the citation a choice (のいずれか).

#include "engine/citations/claim_citations.h"

#include <QStringList>

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

// The cited claims from the elements read, and whether several are cited as
// a choice: a choice word around the citation or an alternative connector.
void SetClaims(ClaimCitation& citation, bool choiceWord) {
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
    SetClaims(citation, ChoiceFollows(text, citation.end));
    return citation;
}

const CitationGrammar& EnglishClaimGrammar() {
    static const CitationGrammar grammar{{QStringLiteral("claims "), QStringLiteral("claim ")}, false, false, false, true};
    return grammar;
}

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber(); }

// "any one of", "any of", "one of" in front of the head: the claims are a choice.
bool ChoiceBefore(const QString& text, int headStart) {
    const QString before = text.left(headStart).right(16).toLower();
    return before.endsWith(QStringLiteral("any one of ")) || before.endsWith(QStringLiteral("any of ")) ||
           before.endsWith(QStringLiteral("one of ")) || before.endsWith(QStringLiteral("either of ")) ||
           before.endsWith(QStringLiteral("anyone of "));
}

// "any of the preceding claims", "any one of the previous claims", "any preceding
// claim", "one of the foregoing claims": the length of the phrase at pos, or 0.
int PrecedingClaimsAt(const QString& text, int pos) {
    static const QStringList leads = {QStringLiteral("any one of the "), QStringLiteral("any of the "),
                                      QStringLiteral("one of the "), QStringLiteral("any ")};
    static const QStringList words = {QStringLiteral("preceding "), QStringLiteral("previous "),
                                      QStringLiteral("foregoing "), QStringLiteral("above "),
                                      QStringLiteral("prior ")};
    const QStringView rest = QStringView(text).mid(pos);
    for (const QString& lead : leads) {
        if (!rest.startsWith(lead, Qt::CaseInsensitive)) continue;
        for (const QString& word : words) {
            const QStringView after = rest.mid(lead.size());
            if (!after.startsWith(word, Qt::CaseInsensitive)) continue;
            const QStringView noun = after.mid(word.size());
            for (const QString& claim : {QStringLiteral("claims"), QStringLiteral("claim")})
                if (noun.startsWith(claim, Qt::CaseInsensitive) &&
                    (noun.size() == claim.size() || !IsWordCharacter(noun[claim.size()])))
                    return int(lead.size() + word.size() + claim.size());
        }
    }
    return 0;
}

}  // namespace

std::vector<ClaimCitation> ReadEnglishClaimCitations(const QString& text) {
    std::vector<ClaimCitation> citations;
    const QString stem = QStringLiteral("claim");
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (at > 0 && IsWordCharacter(text[at - 1])) continue;
        const QChar c = text[at].toLower();
        // The phrases naming all preceding claims start with "any" or "one".
        if (c == u'a' || c == u'o') {
            if (const int length = PrecedingClaimsAt(text, int(at))) {
                ClaimCitation citation;
                citation.start = int(at);
                citation.end = int(at) + length;
                citation.allPreceding = true;
                citation.alternative = true;
                citations.push_back(citation);
                at = citation.end - 1;
                continue;
            }
        }
        if (c != u'c' || !QStringView(text).mid(at).startsWith(stem, Qt::CaseInsensitive)) continue;
        const int headStart = int(at);
        for (const QString& head : EnglishClaimGrammar().heads) {
            if (!QStringView(text).mid(headStart).startsWith(head, Qt::CaseInsensitive)) continue;
            ClaimCitation citation;
            citation.elements = ReadCitedElements(text, headStart + int(head.size()), EnglishClaimGrammar());
            if (citation.elements.empty()) break;
            citation.start = headStart;
            citation.end = citation.elements.back().end;
            SetClaims(citation, ChoiceBefore(text, headStart));
            at = citation.end - 1;
            citations.push_back(std::move(citation));
            break;
        }
    }
    return citations;
}

CitedIntervals CitedClaims(const ClaimCitation& citation, int citingClaim) {
    CitedIntervals set;
    if (citation.allPreceding) {
        if (citingClaim > 1) AddInterval(set, 1, citingClaim - 1);
        return set;
    }
    for (const CitedElement& element : citation.elements) AddElement(set, element);
    return Normalised(std::move(set));
}

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
