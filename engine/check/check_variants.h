#pragma once
// Term variants: one term written in two ways in one document — long-vowel
// marks (サーバ / サーバー), ヴ and ブ (サーヴァ / サーバ), okurigana
// (取付け / 取り付け / 取付), full- and half-width letters (ＣＰＵ / CPU).

#include "engine/check/check_text.h"

namespace engine::check {

Findings CheckTermVariants(const CheckedText& text);

// The key under which a word's variants meet: ー left out and ヴ read as ブ
// for katakana, the kanji with the reading for a word of kanji and kana,
// the compatibility form for letters; empty for a word that has no variants.
QString VariantKey(QStringView word, const QString& reading);

}  // namespace engine::check
