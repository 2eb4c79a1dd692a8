// Source-language text left in a translation, in both directions, and what
// is not left untranslated (names, abbreviations, formulas, units).

#include "engine/translation/translation_untranslated.h"
#include "support/translation_docs.h"

#include <gtest/gtest.h>

namespace {

using engine::translation::Language;

TEST(TranslationUntranslated, RunsFoundAndNot) {
    struct Case {
        const char* text;
        Language translation;
        const char* run;  // empty: none
    };
    const std::vector<Case> cases = {
        {"The heater heats the 基板 quickly.", Language::English, "基板"},
        {"The heater (Kalvendo Model X) is used.", Language::English, ""},
        {"ヒータは基板を加熱する。The heater heats the substrate.", Language::Japanese, "The heater heats the substrate"},
        {"ヒータ（Kalvendo Model X-200 Pro）を用いる。", Language::Japanese, ""},
        {"ＣＰＵ、ＲＡＭ及びＲＯＭを備える。", Language::Japanese, ""},
        {"ｐＨは７、ＮａＣｌを１０ｍｍｏｌ加える。", Language::Japanese, ""},
        {"Ｐ＝Ｋ×ΔＴ、５ｍｍ", Language::Japanese, ""},
        {"which is then cooled down を用いる", Language::Japanese, "which is then cooled down"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const auto run = engine::translation::UntranslatedRun(text, c.translation);
        EXPECT_EQ(run ? text.mid(run->offset, run->length) : QString(), QString::fromUtf8(c.run)) << c.text;
    }
}

TEST(TranslationUntranslated, OneFindingPerUnit) {
    testsupport::runTranslationCases(engine::translation::CheckUntranslated, {
        {"japanese left", {"【０００１】", "基板を加熱する。"}, {"[0001]", "The 基板 is heated by a 加熱部 in the chamber."},
         {"未翻訳|[0001]|訳文に日本語が残っている"}},
        {"english left", {"[0001]", "The substrate is heated."}, {"【０００１】", "The substrate is heated."},
         {"未翻訳|【０００１】|訳文に英語が残っている"}},
        {"translated", {"【０００１】", "基板を加熱する。"}, {"[0001]", "The substrate is heated."}, {}},
    });
}

}  // namespace
