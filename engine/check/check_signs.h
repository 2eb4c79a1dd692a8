#pragma once
// Reference signs: the 【符号の説明】 list against the description and the
// claims. A name written with another sign than the list gives it, a listed
// sign written after another name, a sign the list lacks, a list entry never
// used; in the list itself, one sign for two names and two signs for one.

#include "engine/check/sign_list.h"

namespace engine::check {

Findings CheckReferenceSigns(const CheckedText& text);

}  // namespace engine::check
