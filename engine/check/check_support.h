#pragma once
// Support: every term of the claims (a noun compound that is not a general
// word such as 装置 or 工程) occurs in the description, the 明細書 without
// its claims.

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckSupport(const CheckedText& text);

}  // namespace engine::check
