#pragma once
// Claims (請求項): the same number of claims, each claim's category where
// both sides name one (装置 / apparatus, device; 方法 / method; プログラム /
// program …), and above all the same cited claims — read on both sides by the
// shared claim-citation reader and compared as sets of intervals, so that
// "請求項１～３のいずれか一項" and "any one of claims 1 to 3" are equal and
// "claim 1 or 3" is not.

#include "engine/translation/translation_alignment.h"

#include "engine/citations/citation_reading.h"

namespace engine::translation {

// The category of a claim as one word for both languages ("装置", "方法",
// "プログラム", "媒体", "組成物", "化合物"); empty when it cannot be read.
QString ClaimCategory(const QString& claimText, Language language);

// Every claim a claim's text cites, ranges as their ends.
CitedIntervals CitedClaimsOf(const QString& claimText, int claimNumber, Language language);

Findings CheckClaims(const Comparison& comparison);

}  // namespace engine::translation
