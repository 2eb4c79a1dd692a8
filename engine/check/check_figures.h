#pragma once
// Figures and numbered items: the 【図ｎ】 of 【図面の簡単な説明】 (and of the
// drawings) run from 1 without gaps, every figure the text cites is listed and
// every listed one is cited; 【表ｎ】, 【化ｎ】, 【数ｎ】 run from 1 in order.

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckFigures(const CheckedText& text);
Findings CheckNumberedItems(const CheckedText& text);
// Citations of 表ｎ, 化ｎ and 数ｎ that no 【表ｎ】, 【化ｎ】, 【数ｎ】 of the document has.
Findings CheckItemCitations(const CheckedText& text);

// A figure cited in the text: 図１, 図２（ａ）, 図３～図５ (one citation of a
// range), 第４図. The citations a paragraph makes, in order.
struct FigureCitation {
    int number = 0;
    int last = 0;    // the last figure of a range, else number
    QString suffix;  // 図１Ａ's letter, full-width upper case; empty for none
    qsizetype offset = 0;
    qsizetype length = 0;
};
std::vector<FigureCitation> ReadFigureCitations(QStringView paragraph);

}  // namespace engine::check
