#pragma once
// The source and its translation side by side: the units of each, the pairs
// that say the same thing, and the findings of the alignment itself (対応).
// Every other check is a function from this comparison to findings.

#include "engine/check/check_text.h"
#include "engine/translation/translation_units.h"

#include <QHash>

#include <vector>

namespace engine::translation {

using check::Finding;
using check::Findings;

struct UnitPair {
    const Unit* source = nullptr;
    const Unit* translation = nullptr;
};

// A glossary entry: the source term and the translations the translator allows.
struct GlossaryEntry {
    QString source;
    QStringList translations;
};

// The pairs point into the two documents: a comparison moves, it is never copied.
struct Comparison {
    Comparison() = default;
    Comparison(Comparison&&) = default;
    Comparison& operator=(Comparison&&) = default;
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    Document source;
    Document translation;
    std::vector<UnitPair> pairs;  // in the translation's order
    std::vector<GlossaryEntry> glossary;
    Findings alignment;
};

// Pairs the units by key in one pass over each side: a unit of one side
// without one of the same key on the other is missing or extra, a repeated
// paragraph number or claim is duplicated, and the pairs whose source units
// do not rise with the translation's order (outside the longest rising run)
// are out of order. An empty translation and a translation identical to its
// source are findings too.
Comparison Compare(Document source, Document translation);

// The tagged bilingual working document: each source passage and its
// translation (the deletion task's source rule) are one pair, named by the
// identifier that opens it or heads it, else by its first line.
Comparison CompareTagged(const QStringList& paragraphs, Language sourceLanguage);

// A finding on a pair: where is the translation's unit; the explanation is
// followed by about thirty characters of each text around the given places
// (offset -1: the start of the text).
struct Place {
    qsizetype offset = -1;
    qsizetype length = 0;
};
Finding PairFinding(const QString& kind, const UnitPair& pair, const QString& what, Place source = {},
                    Place translation = {});

}  // namespace engine::translation
