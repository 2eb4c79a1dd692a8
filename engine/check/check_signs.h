#pragma once
// Reference signs: the 【符号の説明】 list against the description. A term
// written with another sign than the list gives it, a listed sign written
// after another term, a sign the list lacks, a list entry never used.

#include "engine/check/check_text.h"

namespace engine::check {

// One entry of the list: "１０　読込部", "１０…読込部", "10：読込部",
// "１０、１１　読込部" (two entries), "１０ａ　第１読込部", "１０Ａ～１０Ｄ　ローラ".
struct SignEntry {
    QString sign;  // normalised: full-width digits and letters, ′ for a prime
    QString term;
    int paragraph = 0;
    qsizetype offset = 0;
    bool implied = false;  // between the ends of a range (１０Ａ～１０Ｄ), not itself written
};
std::vector<SignEntry> ReadSignList(QStringView paragraph, int paragraphIndex);

// A sign as written (10a, １０ａ, 10', １０′) in its normalised form.
QString NormalisedSign(QStringView sign);

// A sign in running Japanese text right after a word: 基板１０, 基板（１０）,
// ローラ１０Ａ, 部材１０′; not a count, a measure or a number after 図, 第, 約 ….
struct TextSign {
    QString sign;  // normalised
    qsizetype start = 0, end = 0;
};
std::vector<TextSign> ReadTextSigns(QStringView line);

Findings CheckReferenceSigns(const CheckedText& text);

}  // namespace engine::check
