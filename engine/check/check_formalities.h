#pragma once
// Formal items the filing software warns about: the abstract over 400
// characters; 【選択図】 missing or naming a figure that does not exist;
// 【先行技術文献】 without any 【特許文献ｎ】 or 【非特許文献ｎ】; paragraph
// numbers in the claims; the title missing or written with half-width characters.

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckFormalities(const CheckedText& text);

}  // namespace engine::check
