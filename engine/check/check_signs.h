#pragma once
// Reference signs: the 【符号の説明】 list against the description and the
// claims. A name written with another sign than the list gives it, a listed
// sign written after another name, a sign the list lacks, a list entry never
// used; in the list itself, one sign for two names and two signs for one.

#include "engine/check/sign_list.h"

namespace engine::check {

// A sign in running Japanese text right after a word: 基板１０, 基板（１０）,
// ローラ１０Ａ, 部材１０′; not a count, a measure or a number after 図, 第, 約 ….
struct TextSign {
    QString sign;  // normalised
    qsizetype start = 0, end = 0;
};
std::vector<TextSign> ReadTextSigns(QStringView line);

Findings CheckReferenceSigns(const CheckedText& text);

}  // namespace engine::check
