#pragma once
// Figures, tables and formulas cited (図表引用): the items each unit cites
// agree — 図３（ａ） = FIG. 3(a) = FIG. 3A, 図３～図５ = FIGS. 3 to 5 =
// Figs. 3-5, 表２ = Table 2, 式（４） = Formula (4) = Equation (4), 化１ =
// Chem. 1, 数１ = Math. 1. Both languages are read by the shared item readers.

#include "engine/translation/translation_alignment.h"

namespace engine::translation {

// One cited item in a common form: "図3a", "表2", "化1", "数1", "式4".
struct CitedItem {
    QString key;
    int start = 0, end = 0;  // the citation it belongs to
};
std::vector<CitedItem> ReadCitedItems(const QString& text, Language language);

// Where the citations of claims and items stand: their numbers are no quantities.
std::vector<std::pair<int, int>> CitationSpans(const QString& text, Language language);

Findings CheckFigureCitations(const Comparison& comparison);

}  // namespace engine::translation
