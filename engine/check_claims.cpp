#include "engine/check_claims.h"

#include "engine/text_helpers.h"

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

}  // namespace engine::check
