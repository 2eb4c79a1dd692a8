#pragma once
// Antecedents: in each claim, every 前記Ｘ and 当該Ｘ has its Ｘ introduced
// before it, in the claim itself or in the claims it cites, through the whole
// chain of citations; a claim citing claims as a choice needs Ｘ in each of them.

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckAntecedents(const CheckedText& text);

}  // namespace engine::check
