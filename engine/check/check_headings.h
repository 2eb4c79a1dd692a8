#pragma once
// The headings of each 【書類名】 section: in the order the office expects,
// none repeated, none outside the office's list (a misspelt 【発明の効杲】).

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckHeadings(const CheckedText& text);

// Whether the text inside 【】 is a heading or item name of the office's
// documents (発明の名称, 要約, 特許文献２, 実施例３, …) or an identifier
// (【０００５】, 【請求項３】, 【図２】).
bool IsOfficeBracketWord(QStringView inner);

}  // namespace engine::check
