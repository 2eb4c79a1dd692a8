#pragma once
// Paragraph numbers 【ｎｎｎｎ】 of the description: from 【０００１】 up by one,
// four full-width digits (more from 【１００００】 on), each at the start of its paragraph.

#include "engine/check/check_text.h"
#include "engine/text_helpers.h"

namespace engine::check {

Findings CheckParagraphNumbers(const CheckedText& text);

using engine::ParagraphNumberText;

}  // namespace engine::check
