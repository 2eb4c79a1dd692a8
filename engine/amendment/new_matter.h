#pragma once
// A careful reviewer's first look for new matter: the sentences of the
// amended version with a content word (a noun, a verb or an adjective, as
// MeCab reads Japanese) that the earlier version nowhere uses.

#include "engine/check/check_text.h"

#include <QStringList>

namespace engine::amendment {

QStringList NewMatterSentences(const check::CheckedText& earlier, const check::CheckedText& amended);

}  // namespace engine::amendment
