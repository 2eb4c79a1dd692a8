#pragma once
// Claims: 【請求項ｎ】 numbered from 1 up by one; every cited claim exists and
// comes before the citing one; several claims cited only alternatively; no
// claim citing several claims alternatively cites one that does so itself.

#include "engine/check/check_text.h"

namespace engine::check {

// One claim: its number and the paragraphs its text spans.
struct Claim {
    int number = 0;
    int paragraph = 0;      // the paragraph of 【請求項ｎ】
    qsizetype offset = 0;   // of 【
    qsizetype length = 0;   // 【請求項ｎ】 inclusive
    int lastParagraph = 0;  // the claim's text runs to here
};
std::vector<Claim> ReadClaims(const CheckedText& text);

Findings CheckClaimNumbers(const CheckedText& text);
// Cited claims that do not exist, come later or are the claim itself, and
// several claims cited otherwise than as a choice (請求項１及び２).
Findings CheckClaimCitations(const CheckedText& text);
// A claim that cites several claims as a choice and among them one that does so too.
Findings CheckMultipleDependency(const CheckedText& text);

}  // namespace engine::check
