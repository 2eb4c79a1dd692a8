#pragma once
// Citations of claims: 請求項３に記載の, 請求項１又は２, 請求項１、２又は３,
// 請求項１～３のいずれか一項, 請求項１から請求項３, 請求項第１項乃至第３項,
// 請求の範囲第１項から第６項, 請求項一, … The check before filing judges them;
// the item renumbering rewrites their numbers in place.

#include "engine/citations/citation_reading.h"

#include <QString>

#include <vector>

namespace engine {

struct ClaimCitation {
    int start = 0, end = 0;  // [start, end) in the text read: from 請求 to the last number (or 項)
    // The cited claims in order, each range as its two ends (請求項１～１００００
    // is one entry); numbers that could not be read are left out.
    std::vector<NumberRange> claims;
    // Several claims cited alternatively (又は, 若しくは, いずれか, or a range with いずれか).
    bool alternative = false;
    // Several claims cited but not alternatively (及び, と, 及び／又は, a range
    // with neither いずれか nor 又は).
    bool cumulative = false;
    // The numbers as written, with their places, kinds and range words.
    std::vector<CitedElement> elements;
    // "any of the preceding claims": every claim before the citing one, which
    // the reader does not know; `claims` and `elements` are then empty.
    bool allPreceding = false;
};

// Every claim citation in text, in order. The item headings 【請求項３】 are not
// citations, nor are claims of other documents (特許文献１の請求項３).
std::vector<ClaimCitation> ReadClaimCitations(const QString& text);

// The same in an English text: "claim 1", "claim 1 or 2", "claims 1, 2 and 5",
// "any one of claims 1 to 3", "claims 1-3", "any of the preceding claims",
// "any preceding claim". "claimed" and "claims" without a number are no citations.
std::vector<ClaimCitation> ReadEnglishClaimCitations(const QString& text);

// The claims a citation cites, as intervals (a range as its two ends);
// "the preceding claims" of claim n are 1 to n - 1.
CitedIntervals CitedClaims(const ClaimCitation& citation, int citingClaim);

// The grammar of the numbers after 請求項 (kanji numerals, 第ｎ項, 請求項 repeated).
const CitationGrammar& ClaimGrammar();

}  // namespace engine
