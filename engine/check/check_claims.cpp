#include "engine/check/check_claims.h"

#include "engine/citations/claim_citations.h"
#include "engine/citations/number_runs.h"
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

QString ClaimList(const std::vector<NumberRange>& ranges) { return NameRanges(kClaim, ranges); }

// Most claims a finding names one by one; a range counts as one.
constexpr size_t kNamedAtMost = 8;

// Ranges in order, those that overlap or touch made one.
void MergeRanges(std::vector<NumberRange>& ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const NumberRange& a, const NumberRange& b) { return a.first < b.first; });
    std::vector<NumberRange> merged;
    for (const NumberRange& r : ranges) {
        if (!merged.empty() && static_cast<long long>(r.first) <= static_cast<long long>(merged.back().last) + 1)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    ranges = std::move(merged);
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
    // 【請求項】 with more digits than a claim number has is not read as a claim: say so.
    for (const Section& section : text.sections()) {
        if (!section.holdsClaims()) continue;
        for (int p = section.first; p < section.end; ++p) {
            const QStringView line(text[p]);
            const qsizetype start = SkipBlanks(line, 0);
            const auto bracket = BracketAt(line, start);
            if (!bracket || !bracket->inner.startsWith(kClaim)) continue;
            const QStringView digits = bracket->inner.mid(kClaim.size());
            if (digits.size() > 9 && std::all_of(digits.begin(), digits.end(), [](QChar c) { return DigitValue(c) >= 0; }))
                out.push_back(text.finding(QStringLiteral("請求項番号"), p, start, bracket->end - start,
                                           QStringLiteral("請求項番号が読み取れない（桁が多すぎる）")));
        }
    }
    return out;
}

Findings CheckClaimCitations(const CheckedText& text) {
    Findings out;
    const std::vector<Claim> claims = ReadClaims(text);
    std::vector<int> numbers;
    for (const Claim& c : claims) numbers.push_back(c.number);
    const NumberRuns existing(numbers);
    const QString kind = QStringLiteral("請求項引用");
    for (const Claim& claim : claims) {
        const NumberRange later{claim.number + 1, kLargestNumber};
        for (const auto& cited : CitationsOf(text, claim)) {
            const ClaimCitation& citation = cited.citation;
            auto report = [&, p = cited.paragraph](const QString& what) {
                out.push_back(text.finding(kind, p, citation.start, citation.end - citation.start, what));
            };
            for (const CitedElement& e : citation.elements)
                if (!e.readable()) report(QStringLiteral("読み取れない請求項番号（桁が多すぎる）を引用している"));
            // Each cited range is judged by its ends against the runs of
            // existing claims, so a range costs the same however wide it is.
            for (const NumberRange& range : citation.claims) {
                if (range.contains(claim.number))
                    report(QStringLiteral("%1が自身を引用している").arg(ClaimName(claim.number)));
                const std::vector<NumberRange> missing = existing.Outside(range, kNamedAtMost);
                if (!missing.empty()) report(QStringLiteral("存在しない%1を引用している").arg(ClaimList(missing)));
                if (range.last > claim.number) {
                    const NumberRange after{std::max(range.first, later.first), range.last};
                    const std::vector<NumberRange> cited = existing.Within(after, kNamedAtMost);
                    if (!cited.empty())
                        report(QStringLiteral("%1が後の%2を引用している").arg(ClaimName(claim.number), ClaimList(cited)));
                }
            }
            if (citation.cumulative)
                report(QStringLiteral("複数の請求項を択一的でなく引用している（%1）").arg(ClaimList(citation.claims)));
        }
    }
    return out;
}

namespace {

// The claims that in effect cite several claims as a choice, as the office
// counts them: those that do so themselves, and those that cite such a claim
// (請求項４ citing only 請求項３, which cites 請求項１又は２, offers the choice
// of 請求項３'s). Built in ascending claim number, as a claim can only rely on
// earlier ones.
class MultipleClaims {
public:
    // The root of claim n: the claim that itself cites several claims, n or one n relies on.
    void Add(int n, int root) {
        runs_.Append(n);
        if (root != n) rootOf_[n] = root;
    }
    // The multiple claims among range, named by their runs (at most a few).
    std::vector<NumberRange> Among(NumberRange range) const { return runs_.Within(range, kNamedAtMost); }
    int RootOf(int n) const {
        const auto it = rootOf_.find(n);
        return it == rootOf_.end() ? n : it->second;
    }

private:
    NumberRuns runs_;
    std::map<int, int> rootOf_;  // only claims that are multiple through another
};

}  // namespace

Findings CheckMultipleDependency(const CheckedText& text) {
    Findings out;
    std::vector<Claim> claims = ReadClaims(text);
    std::stable_sort(claims.begin(), claims.end(), [](const Claim& a, const Claim& b) { return a.number < b.number; });
    MultipleClaims multiple;
    for (const Claim& claim : claims) {
        const std::vector<CitationIn> citations = CitationsOf(text, claim);
        const CitationIn* choice = nullptr;  // the first citation of several claims as a choice
        std::vector<NumberRange> multiCited;
        for (const CitationIn& c : citations) {
            if (c.citation.alternative && !choice) choice = &c;
            for (const NumberRange& range : c.citation.claims) {
                if (range.first >= claim.number) continue;  // later claims and the claim itself are other findings
                for (const NumberRange& m : multiple.Among({range.first, std::min(range.last, claim.number - 1)}))
                    if (multiCited.size() <= kNamedAtMost) multiCited.push_back(m);
            }
        }
        if (choice) {
            multiple.Add(claim.number, claim.number);
        } else if (!multiCited.empty()) {
            multiple.Add(claim.number, multiple.RootOf(multiCited.front().first));
        }
        if (!choice || multiCited.empty()) continue;
        MergeRanges(multiCited);
        QString what = QStringLiteral("複数従属の%1が複数従属の%2を引用している").arg(ClaimName(claim.number), ClaimList(multiCited));
        const int first = multiCited.front().first;
        if (const int root = multiple.RootOf(first); root != first)
            what += QStringLiteral("（%1は%2を通じて複数従属）").arg(ClaimName(first), ClaimName(root));
        out.push_back(text.finding(QStringLiteral("マルチマルチ"), choice->paragraph, choice->citation.start,
                                   choice->citation.end - choice->citation.start, what));
    }
    return out;
}

}  // namespace engine::check
