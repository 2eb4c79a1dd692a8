#pragma once
// Characters the filing software refuses (the rule of the HTML export, shared),
// 【 and 】 outside an identifier or heading, and ■.

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckCharacters(const CheckedText& text);

}  // namespace engine::check
