#pragma once
// The numbered items of a specification — claims 【請求項ｎ】, figures 【図ｎ】,
// tables 【表ｎ】, chemical formulas 【化ｎ】, equations 【数ｎ】 — and the
// citations of each in the text (請求項３, 図３（ａ）, 図３～図５, 表２, 化１,
// 数４, 式（４）).

#include "engine/citations/citation_reading.h"

#include <QString>

#include <optional>
#include <vector>

namespace engine {

enum class ItemFamily { Claim, Figure, Table, Formula, Equation };

// The word of the family in headings and citations: 請求項, 図, 表, 化, 数.
QString FamilyWord(ItemFamily family);
// The family named by its word or by its English name (claims, figures,
// tables, formulas, equations).
std::optional<ItemFamily> FamilyNamed(const QString& name);

// An item heading such as 【図３Ａ】: from 【 to 】.
struct ItemHeading {
    int start = 0, end = 0;
    CitedNumber number;
    QString suffix;  // a sub-figure letter written in the heading (Ａ of 【図３Ａ】)
};

std::vector<ItemHeading> ReadItemHeadings(const QString& text, ItemFamily family);

// A citation of items of one family.
struct ItemCitation {
    int start = 0, end = 0;  // from the family word to the last number (or what closes it)
    std::vector<CitedElement> elements;
    // Several items offered as a choice (又は, a range with のいずれか): a range
    // that must be written out is then joined with 又は, else with 及び.
    bool alternative = false;
    // 式（ｎ）: a citation of 【数ｎ】 only where such an item exists.
    bool equationLabel = false;
};

std::vector<ItemCitation> ReadItemCitations(const QString& text, ItemFamily family);

// The same in an English text: "FIG. 3", "FIG. 3A", "FIG. 3(a)", "FIGS. 3 to 5",
// "Figs. 3-5", "Figures 2 and 4"; "Table 2", "Tables 1 and 2"; "Chemical Formula 1",
// "Chem. 1" (化); "Math. 1" (数); "Formula (4)", "Equation (4)", "Expression 4"
// (the label 式（４）, with equationLabel set). Claims come from the English
// claim-citation reader.
std::vector<ItemCitation> ReadEnglishItemCitations(const QString& text, ItemFamily family);

}  // namespace engine
