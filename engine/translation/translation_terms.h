#pragma once
// Terms (用語): the translator's glossary — one entry a line, the source
// term and its translation separated by a tab, UTF-8 or Shift_JIS — checked
// in every unit whose source holds the term: its translation must hold one of
// the translations the glossary gives for it.

#include "engine/translation/translation_alignment.h"

namespace engine::translation {

// The entries of a glossary's text; lines without a tab, empty lines and
// lines starting with # are skipped; a term given twice keeps both translations.
std::vector<GlossaryEntry> ParseGlossary(const QString& text);
// The glossary file: read, decoded (UTF-8 unless it is not valid UTF-8, then
// Shift_JIS) and parsed. Throws word::Error naming the file when it cannot be read.
std::vector<GlossaryEntry> ReadGlossary(const QString& path);

Findings CheckTerms(const Comparison& comparison);

}  // namespace engine::translation
