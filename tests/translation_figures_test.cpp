// Figures, tables and formulas cited in a translation: the English phrasings
// the shared item reader takes, and the cited items compared per unit.

#include "engine/translation/translation_figures.h"
#include "support/translation_docs.h"

#include <gtest/gtest.h>

namespace {

using engine::translation::CheckFigureCitations;
using engine::translation::Language;

QStringList Keys(const char* text, Language language) {
    QStringList keys;
    for (const auto& item : engine::translation::ReadCitedItems(QString::fromUtf8(text), language)) keys << item.key;
    return keys;
}

TEST(TranslationFigures, CitedItemsInBothLanguages) {
    struct Case {
        const char* text;
        Language language;
        QStringList keys;
    };
    const std::vector<Case> cases = {
        {"図３（ａ）に示す", Language::Japanese, {"図3a"}},
        {"図３Ａに示す", Language::Japanese, {"図3a"}},
        {"図３～図５に示す", Language::Japanese, {"図3", "図4", "図5"}},
        {"表２と式（４）と化１と数１", Language::Japanese, {"表2", "化1", "式4", "数1"}},
        {"as shown in FIG. 3(a)", Language::English, {"図3a"}},
        {"as shown in FIG. 3A", Language::English, {"図3a"}},
        {"FIGS. 3 to 5 show", Language::English, {"図3", "図4", "図5"}},
        {"Figs. 3-5 show", Language::English, {"図3", "図4", "図5"}},
        {"FIGS. 3A and 3B show", Language::English, {"図3a", "図3b"}},
        {"Figure 2 and FIG. 4 show", Language::English, {"図2", "図4"}},
        {"Table 2 lists", Language::English, {"表2"}},
        {"by Formula (4) or Equation (5)", Language::English, {"式4", "式5"}},
        {"Chemical Formula 1 and Chem. 2", Language::English, {"化1", "化2"}},
        {"Math. 1", Language::English, {"数1"}},
        {"a tablet, a figured surface, the formula", Language::English, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Keys(c.text, c.language), c.keys) << c.text;
}

TEST(TranslationFigures, EachUnitsCitations) {
    testsupport::runTranslationCases(CheckFigureCitations, {
        {"same", {"【０００１】", "図３（ａ）及び表２に示すように、式（４）を用いる。"},
         {"[0001]", "As shown in FIG. 3A and Table 2, Formula (4) is used."}, {}},
        {"range", {"【０００１】", "図３～図５に示す。"}, {"[0001]", "FIGS. 3 to 5 show it."}, {}},
        {"figure changed", {"【０００１】", "図２に示す。"}, {"[0001]", "As shown in FIG. 3."},
         {"図表引用|[0001]|訳文にない引用 図2、原文にない引用 図3"}},
        {"sub-figure dropped", {"【０００１】", "図３（ｂ）に示す。"}, {"[0001]", "As shown in FIG. 3."},
         {"図表引用|[0001]|訳文にない引用 図3b、原文にない引用 図3"}},
        {"table changed, english source", {"[0001]", "Table 2 lists them."}, {"【０００１】", "表３に示す。"},
         {"図表引用|【０００１】|訳文にない引用 表2、原文にない引用 表3"}},
    });
}

}  // namespace
