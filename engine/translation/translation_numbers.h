#pragma once
// Numbers (数値): the quantities of each unit agree as a multiset, width,
// digit grouping, ranges, powers of ten and units made alike, and the
// ordinals and counts that English writes as words (第２ = second, ２つ = two).

#include "engine/translation/translation_alignment.h"

namespace engine::translation {

// One quantity as read: its value and unit in a common form ("1.5|mm",
// "0.001|", "2|°C") and where it stands in the text.
struct Quantity {
    QString value;
    qsizetype offset = 0;
    qsizetype length = 0;
    bool bare = false;  // a whole number with no unit, which may be a sign
    int integer = -1;   // its value when it is a whole number below a million
};

// Full-width letters, digits and signs as half width, ℃ as °C's one
// character, µ as μ: the same length as the text, so offsets carry over.
QString FoldedWidth(QStringView text);

// The quantities of a text. Citations (claims, figures, tables, formulas),
// paragraph numbers in brackets and numbers glued to letters (S1, H2O) are
// left out.
std::vector<Quantity> ReadQuantities(const QString& text, Language language);

Findings CheckNumbers(const Comparison& comparison);

}  // namespace engine::translation
