#pragma once
// Paragraph numbers 【ｎｎｎｎ】 of the description: from 【０００１】 up by one,
// four full-width digits (more from 【１００００】 on), each at the start of its paragraph.

#include "engine/check_text.h"

namespace engine::check {

Findings CheckParagraphNumbers(const CheckedText& text);

// 【０００５】, 【１２３４５】: a paragraph number as it should be written.
QString ParagraphNumberText(int number);

}  // namespace engine::check
