// The numbers of a translation against its source: the written forms that
// are equal and the faults that are found, in both directions.

#include "engine/translation/translation_numbers.h"
#include "support/translation_docs.h"

#include <gtest/gtest.h>

namespace {

using engine::translation::CheckNumbers;
using testsupport::TranslationCase;

// One paragraph [0001] in each language.
TranslationCase JapaneseToEnglish(const char* name, const char* japanese, const char* english, QStringList expected) {
    return {name, {"【０００１】", QString::fromUtf8(japanese)}, {"[0001]", QString::fromUtf8(english)}, expected};
}
TranslationCase EnglishToJapanese(const char* name, const char* english, const char* japanese, QStringList expected) {
    return {name, {"[0001]", QString::fromUtf8(english)}, {"【０００１】", QString::fromUtf8(japanese)}, expected};
}

TEST(TranslationNumbers, WrittenFormsThatAreEqual) {
    testsupport::runTranslationCases(CheckNumbers, {
        JapaneseToEnglish("width", "厚さは１．５ｍｍである。", "The thickness is 1.5 mm.", {}),
        JapaneseToEnglish("grouping", "１，０００個と１０００個がある。", "There are 1,000 pieces and 1000 pieces.", {}),
        JapaneseToEnglish("range", "温度は１０～２０℃である。", "The temperature is 10 to 20°C.", {}),
        JapaneseToEnglish("range with a dash", "１０～２０ｍｍ", "10-20 mm", {}),
        JapaneseToEnglish("units on both ends", "１０ｍｍ～２０ｍｍ", "from 10 to 20 mm", {}),
        JapaneseToEnglish("power", "濃度は１×１０－３である。", "The concentration is 1×10^-3.", {}),
        JapaneseToEnglish("power in superscript", "１×１０－３", "1 × 10⁻³", {}),
        JapaneseToEnglish("percent and weight percent", "５％と３ｗｔ％", "5% and 3 wt%", {}),
        JapaneseToEnglish("common units", "５ｐｐｍ、３０００ｒｐｍ、１０１ｋＰａ", "5 ppm, 3000 rpm and 101 kPa", {}),
        JapaneseToEnglish("time", "３０分間、２秒", "for 30 minutes and 2 seconds", {}),
        JapaneseToEnglish("ordinals", "第１の層と第２の層と第３の層", "a first layer, a second layer and a third layer", {}),
        JapaneseToEnglish("counts", "２つの電極と１２個の孔", "two electrodes and twelve holes", {}),
        JapaneseToEnglish("kanji counts", "二つの電極と第三の層", "two electrodes and a third layer", {}),
        JapaneseToEnglish("twenty", "第２０の層", "a twentieth layer", {}),
        JapaneseToEnglish("times", "出力を２倍にする。", "The output is doubled to 2 times.", {}),
        JapaneseToEnglish("a lone one", "１つの基板を用いる。", "A substrate is used.", {}),
        JapaneseToEnglish("signs and citations are not counted", "図３に示す基板１０は、請求項２の通りである。",
                          "The substrate 10 shown in FIG. 3 is as in claim 2.", {}),
        JapaneseToEnglish("paragraph cited", "段落【００１２】を参照。", "See paragraph [0012].", {}),
        JapaneseToEnglish("names glued to letters", "ステップＳ１でＨ２Ｏを加える。", "In step S1, H2O is added.", {}),
        EnglishToJapanese("english source", "The gap is 0.5 μm to 2 μm.", "隙間は０．５μｍ～２μｍである。", {}),
        EnglishToJapanese("english degrees", "heated to 200 °C for 3 hours", "２００℃で３時間加熱する", {}),
    });
}

TEST(TranslationNumbers, FaultsFound) {
    testsupport::runTranslationCases(CheckNumbers, {
        JapaneseToEnglish("digits swapped", "長さは２１ｍｍである。", "The length is 12 mm.",
                          {"数値|[0001]|訳文にない数値 21 mm、原文にない数値 12 mm"}),
        JapaneseToEnglish("unit changed", "５ｍｍ", "5 μm", {"数値|[0001]|訳文にない数値 5 mm、原文にない数値 5 μm"}),
        JapaneseToEnglish("dropped", "１０℃と２０℃", "10°C", {"数値|[0001]|訳文にない数値 20 °C"}),
        JapaneseToEnglish("power changed", "１×１０－３", "1×10^-4", {"数値|[0001]|訳文にない数値 0.001、原文にない数値 0.0001"}),
        JapaneseToEnglish("ordinal changed", "第２の層", "a third layer", {"数値|[0001]|訳文にない数値 2、原文にない数値 3"}),
        JapaneseToEnglish("count changed", "３つの電極", "two electrodes", {"数値|[0001]|訳文にない数値 3、原文にない数値 2"}),
        JapaneseToEnglish("percent to plain", "５％", "5", {"数値|[0001]|訳文にない数値 5%、原文にない数値 5"}),
        EnglishToJapanese("english source", "The gap is 0.5 mm.", "隙間は０．６ｍｍである。",
                          {"数値|【０００１】|訳文にない数値 0.5 mm、原文にない数値 0.6 mm"}),
        EnglishToJapanese("english words", "three layers", "２つの層", {"数値|【０００１】|訳文にない数値 3、原文にない数値 2"}),
    });
}

TEST(TranslationNumbers, QuantitiesReadWithTheirPlaces) {
    using engine::translation::Language;
    const QString text = QString::fromUtf8("厚さ１，５００ｎｍ、温度２００℃");
    const auto q = engine::translation::ReadQuantities(text, Language::Japanese);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].value, "1500|nm");
    EXPECT_EQ(text.mid(q[0].offset, q[0].length), QString::fromUtf8("１，５００ｎｍ"));
    EXPECT_EQ(q[1].value, "200|°C");
    EXPECT_FALSE(q[1].bare);
}

}  // namespace
