#include "engine/check/check_claims.h"

#include "engine/citations/claim_citations.h"
#include "engine/text_helpers.h"

#include <algorithm>
#include <map>
#include <set>

namespace engine::check {

namespace {

const QString kClaim = QStringLiteral("請求項");

QString ClaimName(int number) { return QStringLiteral("請求項%1").arg(ToFullWidthDigits(QString::number(number))); }

// A paragraph that ends a claim's text: the next claim or a heading.
bool EndsClaimText(QStringView line) {
    const auto bracket = BracketAt(line, SkipBlanks(line, 0));
    if (!bracket) return false;
    const auto name = ReadItemName(bracket->inner);
    return !name || name->family == kClaim;
}

// A citation inside a claim, with the paragraph it stands in.
struct CitationIn {
    int paragraph;
    ClaimCitation citation;
};

// The claim's paragraphs are read as one text: a citation broken over two
// ("…請求項６乃至請求項８" / "のいずれかに記載") is one citation, placed in
// the paragraph it starts in.
std::vector<CitationIn> CitationsOf(const CheckedText& text, const Claim& claim) {
    QString joined;
    std::vector<int> starts;  // of each paragraph in the joined text
    for (int p = claim.paragraph; p <= claim.lastParagraph; ++p) {
        starts.push_back(int(joined.size()));
        joined += text[p];
    }
    std::vector<CitationIn> out;
    for (ClaimCitation& c : ReadClaimCitations(joined)) {
        const int piece = int(std::upper_bound(starts.begin(), starts.end(), c.start) - starts.begin()) - 1;
        const int p = claim.paragraph + piece;
        c.start -= starts[piece];
        c.end = std::min(c.end - starts[piece], int(text[p].size()));
        out.push_back({p, std::move(c)});
    }
    return out;
}

QString ClaimList(const std::vector<int>& numbers) {
    QStringList names;
    for (int n : numbers) names << ClaimName(n);
    return names.join(u'、');
}

}  // namespace

std::vector<Claim> ReadClaims(const CheckedText& text) {
    std::vector<Claim> claims;
    for (const Section& section : text.sections()) {
        if (!section.holdsClaims()) continue;
        for (int p = section.first; p < section.end; ++p) {
            const auto item = LeadingItemOf(text[p], kClaim);
            if (!item) continue;
            Claim claim{item->name.number, p, item->start, item->end - item->start, p};
            while (claim.lastParagraph + 1 < section.end && !EndsClaimText(text[claim.lastParagraph + 1]))
                ++claim.lastParagraph;
            claims.push_back(claim);
        }
    }
    return claims;
}

Findings CheckClaimNumbers(const CheckedText& text) {
    Findings out;
    int expected = 1;
    for (const Claim& claim : ReadClaims(text)) {
        QString what;
        if (claim.number != expected && expected == 1)
            what = QStringLiteral("請求項番号が【請求項１】から始まっていない");
        else if (claim.number > expected)
            what = QStringLiteral("請求項番号が飛んでいる（【%1】がない）").arg(ClaimName(expected));
        else if (claim.number < expected)
            what = QStringLiteral("請求項番号が重複または逆順（前は【%1】）").arg(ClaimName(expected - 1));
        if (!what.isEmpty())
            out.push_back(text.finding(QStringLiteral("請求項番号"), claim.paragraph, claim.offset, claim.length, what));
        expected = claim.number + 1;
    }
    return out;
}

Findings CheckClaimCitations(const CheckedText& text) {
    Findings out;
    const std::vector<Claim> claims = ReadClaims(text);
    std::set<int> existing;
    for (const Claim& c : claims) existing.insert(c.number);
    const QString kind = QStringLiteral("請求項引用");
    for (const Claim& claim : claims) {
        for (const auto& [p, citation] : CitationsOf(text, claim)) {
            auto report = [&](const QString& what) {
                out.push_back(text.finding(kind, p, citation.start, citation.end - citation.start, what));
            };
            for (int n : citation.claims) {
                if (n == claim.number)
                    report(QStringLiteral("%1が自身を引用している").arg(ClaimName(n)));
                else if (!existing.count(n))
                    report(QStringLiteral("存在しない%1を引用している").arg(ClaimName(n)));
                else if (n > claim.number)
                    report(QStringLiteral("%1が後の%2を引用している").arg(ClaimName(claim.number), ClaimName(n)));
            }
            if (citation.cumulative)
                report(QStringLiteral("複数の請求項を択一的でなく引用している（%1）").arg(ClaimList(citation.claims)));
        }
    }
    return out;
}

Findings CheckMultipleDependency(const CheckedText& text) {
    Findings out;
    const std::vector<Claim> claims = ReadClaims(text);
    // The claims that cite several claims as a choice, with the claims they so cite.
    std::map<int, std::vector<int>> multiple;
    std::map<int, std::pair<int, const ClaimCitation*>> firstChoice;
    std::vector<std::vector<CitationIn>> citations;
    citations.reserve(claims.size());
    for (const Claim& claim : claims) {
        citations.push_back(CitationsOf(text, claim));
        for (const CitationIn& c : citations.back()) {
            if (!c.citation.alternative) continue;
            auto& cited = multiple[claim.number];
            cited.insert(cited.end(), c.citation.claims.begin(), c.citation.claims.end());
            firstChoice.emplace(claim.number, std::pair{c.paragraph, &c.citation});
        }
    }
    for (const auto& [number, cited] : multiple) {
        std::vector<int> multiCited;
        for (int n : cited)
            if (n != number && multiple.count(n) &&
                std::find(multiCited.begin(), multiCited.end(), n) == multiCited.end())
                multiCited.push_back(n);
        if (multiCited.empty()) continue;
        const auto& [p, citation] = firstChoice.at(number);
        out.push_back(text.finding(QStringLiteral("マルチマルチ"), p, citation->start, citation->end - citation->start,
                                   QStringLiteral("複数従属の%1が複数従属の%2を引用している")
                                       .arg(ClaimName(number), ClaimList(multiCited))));
    }
    return out;
}

}  // namespace engine::check
